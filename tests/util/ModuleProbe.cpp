// Starts the utility module as a program of the family does and prints what it settled, so
// that tests can run copies of it from folders of their own.
#include <iostream>

#include "Platform.h"
#include "Util.h"

int main() {
  try {
    util::StartModule();
  } catch (const std::exception& error) {
    std::cout << "error: " << error.what() << "\n";
    return 2;
  }
  std::cout << "IniFile=" << util::IniFile() << "\n"
            << "ToolsIni=" << util::ToolsIni() << "\n"
            << "ExeDir=" << util::ExeDir() << "\n"
            << "DataDir=" << util::DataDir() << "\n"
            << "TestModus=" << util::TestModus() << "\n"
            << "SysExt=" << util::SysExt() << "\n"
            << "ForInst=" << util::ForInst() << "\n"
            << "Firma=" << util::Firma() << "\n";
  util::StopModule();
  return 0;
}
