#include <windows.h>

#include <string>
#include <vector>

#include "Platform.h"

namespace platform {

const char kPathSeparator = '\\';
const bool kFileNamesIgnoreCase = true;
const char* const kDefaultIniFile = "C:\\Vedo\\Vedo.ini";
const char* const kProgramSuffix = ".exe";

bool IsFullPath(const std::string& name) {
  return name.find(':') != std::string::npos || name.find("\\\\") != std::string::npos;
}

// The A functions take and give the ANSI code page, which is cp1252 on the systems this program
// serves, so names pass as they are.
std::string ToSystemName(const std::string& name) { return name; }

std::optional<std::string> FromSystemName(const std::string& systemName) { return systemName; }

std::string ProgramPath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    // A full buffer means the name may have been cut.
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

std::string ProgramDirectory() {
  const std::string path = ProgramPath();
  return path.substr(0, path.rfind(kPathSeparator) + 1);
}

bool FileExists(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<std::uintmax_t> FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (path.empty() || !::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::nullopt;
  }
  return (static_cast<std::uintmax_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace platform
