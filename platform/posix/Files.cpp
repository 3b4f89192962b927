#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "Platform.h"

namespace platform {

const char kPathSeparator = '/';
const bool kFileNamesIgnoreCase = false;
const char* const kDefaultIniFile = "/etc/vedo/Vedo.ini";
const char* const kProgramSuffix = "";

bool BeginsAtRoot(const std::string& name) { return !name.empty() && name[0] == '/'; }

std::string ProgramPath() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

std::string ProgramDirectory() {
  const std::string path = ProgramPath();
  return path.substr(0, path.rfind(kPathSeparator) + 1);
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

}  // namespace platform
