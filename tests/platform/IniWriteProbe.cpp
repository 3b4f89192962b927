// Writes one key into an INI file as the company-name correction does, so that a test can kill
// it in the middle of the write: ini_write_probe FILE SECTION KEY VALUE.
#include "Platform.h"

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  return platform::WriteProfileString(argv[2], argv[3], argv[4], argv[1]) ? 0 : 1;
}
