// The module's process-wide state, written only by ResolvePaths and StartModule.
#pragma once

#include <cstdint>
#include <string>

namespace util::detail {

struct ModuleState {
  std::string iniFile;
  std::string toolsIni;
  std::string exeDir;
  std::string dataDir;

  bool testModus = false;
  std::string sysExt;
  int32_t forInst = 0;
  std::string firma;
};

ModuleState& State();

}  // namespace util::detail
