// The main of the widget tests: GoogleTest inside a QApplication.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  QApplication::setApplicationName("Orvi-Vedo fjernstyring");
  return RUN_ALL_TESTS();
}
