#include "Files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "Cp1252.h"
#include "Platform.h"

namespace platform {

const char kPathSeparator = '/';
const bool kFileNamesIgnoreCase = false;
const char* const kDefaultIniFile = "/etc/vedo/Vedo.ini";
const char* const kProgramSuffix = "";

bool IsFullPath(const std::string& name) {
  return name.find(':') != std::string::npos || name.find("\\\\") != std::string::npos ||
         (!name.empty() && name[0] == '/');
}

UnnamableName::UnnamableName(const std::string& message, const std::string& systemName)
    : std::runtime_error(message + Utf8ToCp1252(systemName)),
      message_(message),
      systemName_(systemName) {}

std::string ProgramPath() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < buffer.size()) {
      const std::string systemPath(buffer.data(), length);
      // Every path the program finds beside itself would be wrong, so it does not go on.
      if (const auto path = FromSystemName(systemPath)) return *path;
      throw UnnamableName("Programmets filsti har tegn som ikke finnes i Windows-1252: ",
                          systemPath);
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string ProgramDirectory() {
  const std::string path = ProgramPath();
  return path.substr(0, path.rfind(kPathSeparator) + 1);
}

bool FileExists(const std::string& path) { return posix::IsExistingFile(ToSystemName(path)); }

std::optional<std::uintmax_t> FileSize(const std::string& path) {
  struct stat info {};
  const std::string systemPath = ToSystemName(path);
  if (systemPath.empty() || ::stat(systemPath.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
    return std::nullopt;
  }
  return static_cast<std::uintmax_t>(info.st_size);
}

namespace posix {

bool IsExistingFile(const std::string& systemPath) {
  struct stat info {};
  return !systemPath.empty() && ::stat(systemPath.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

}  // namespace posix
}  // namespace platform
