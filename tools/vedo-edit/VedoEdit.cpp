// A stand-in for the editor of the product family, for the demonstration: opens the program
// file it is given in the desktop's editor, or says what it received when there is none.
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "Platform.h"

namespace {

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string rest = path == nullptr ? "" : path;
  while (!rest.empty()) {
    const auto colon = rest.find(':');
    const std::string directory = rest.substr(0, colon);
    rest = colon == std::string::npos ? "" : rest.substr(colon + 1);
    if (::access((directory + "/" + program).c_str(), X_OK) == 0) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: VedoEdit PROGRAM-FILE [MACHINE]\n";
    return 2;
  }
  const std::string machine = argc > 2 ? argv[2] : "";
  std::cout << "VedoEdit: program " << argv[1] << ", maskin " << machine << std::endl;
  // The seam takes names in cp1252; one that cp1252 cannot hold names no file of the family.
  const auto file = platform::FromSystemName(argv[1]);
  if (!file || !platform::FileExists(*file)) {
    std::cout << "VedoEdit: filen finnes ikke her" << std::endl;
    return 1;
  }
  if (std::getenv("DISPLAY") == nullptr || !OnPath("xdg-open")) {
    std::cout << "VedoEdit: ingen tekstredigerer funnet" << std::endl;
    return 1;
  }
  return platform::ShellOpen("xdg-open", "\"" + *file + "\"", "", 1) ? 0 : 1;
}
