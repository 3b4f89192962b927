#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "Platform.h"

namespace platform {

bool ShellOpen(const std::string& file, const std::string& parameters,
               const std::string& workingDirectory, int showCode) {
  if (file.empty()) return false;
  const HINSTANCE result = ::ShellExecuteA(
      nullptr, "open", file.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
      workingDirectory.empty() ? nullptr : workingDirectory.c_str(), showCode);
  // Values above 32 mean success; smaller ones are error codes.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace platform
