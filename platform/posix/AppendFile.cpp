// Files that grow by appending (journals, logs), and the folder they live in.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "Platform.h"

namespace platform {
namespace {

// Creates every folder on the way to the file; those that exist are left as they are.
void MakeFolders(const std::string& systemPath) {
  for (std::size_t i = 1; i < systemPath.size(); ++i) {
    if (systemPath[i] != '/' || systemPath[i - 1] == '/') continue;
    ::mkdir(systemPath.substr(0, i).c_str(), 0777);  // a failure shows when the file is opened
  }
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

}  // namespace

bool AppendToFile(const std::string& path, const std::string& bytes) {
  const std::string systemPath = ToSystemName(path);
  if (systemPath.empty()) return false;
  MakeFolders(systemPath);
  // With O_APPEND every write lands at the end of the file as one piece, also when several
  // programs append at once.
  const int fd = ::open(systemPath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    // Only a full disk or a signal splits a write; the rest follows at once.
    written += static_cast<std::size_t>(count);
  }
  return ::close(fd) == 0 && written == bytes.size();
}

std::string UserStateDirectory() {
  // The XDG rule: a relative XDG_STATE_HOME is not to be used.
  std::string folder = Environment("XDG_STATE_HOME");
  if (folder.empty() || folder[0] != '/') {
    const std::string home = Environment("HOME");
    if (home.empty()) return {};
    folder = home + (home.back() == '/' ? "" : "/") + ".local/state";
  }
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return FromSystemName(folder).value_or(std::string());
}

}  // namespace platform
