// The tests' main: the socket layer runs for the whole run, as it does in the programs.
#include <gtest/gtest.h>

#include "Platform.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  platform::StartSocketLayer();
  const int result = RUN_ALL_TESTS();
  platform::StopSocketLayer();
  return result;
}
