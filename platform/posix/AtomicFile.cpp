#include "AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace platform::posix {
namespace {

// The file a link points to, so that replacing it keeps the link; the path itself otherwise.
std::string FollowLinks(const std::string& path) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) != nullptr) return resolved;
  return path;
}

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// Our temporaries are ".NAME.vedo-XXXXXX" beside the target: hidden, and never mistaken for a
// file of someone else's.
std::string TemporaryPrefix(const std::string& target) { return "." + NameOf(target) + ".vedo-"; }
constexpr std::size_t kUniqueLength = 6;  // mkstemp's XXXXXX

// Removes the temporaries that writers killed in the middle of a write left beside the target.
// A live writer holds a lock on its temporary until the rename, so only dead ones are taken.
void RemoveStrayTemporaries(const std::string& target) {
  const std::string directory = DirectoryOf(target);
  const std::string prefix = TemporaryPrefix(target);
  DIR* folder = ::opendir(directory.c_str());
  if (folder == nullptr) return;
  while (const dirent* entry = ::readdir(folder)) {
    const std::string name = entry->d_name;
    if (name.size() != prefix.size() + kUniqueLength ||
        name.compare(0, prefix.size(), prefix) != 0) {
      continue;
    }
    const std::string path = directory + "/" + name;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) continue;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      ::unlink(path.c_str());
    }
    ::close(fd);
  }
  ::closedir(folder);
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return bytes.str();
}

bool MayWriteFile(const std::string& path) {
  const std::string target = FollowLinks(path);
  struct stat info {};
  if (::stat(target.c_str(), &info) != 0) {
    struct stat dir {};
    const std::string directory = DirectoryOf(target);
    return errno == ENOENT && ::stat(directory.c_str(), &dir) == 0 && S_ISDIR(dir.st_mode) &&
           ::access(directory.c_str(), W_OK) == 0;
  }
  if (!S_ISREG(info.st_mode)) return false;
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
  return ::access(target.c_str(), W_OK) == 0;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
  if (!MayWriteFile(path)) return false;
  const std::string target = FollowLinks(path);
  struct stat info {};
  const bool existed = ::stat(target.c_str(), &info) == 0;

  RemoveStrayTemporaries(target);
  std::string temporary =
      DirectoryOf(target) + "/" + TemporaryPrefix(target) + std::string(kUniqueLength, 'X');
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return false;
  // Held until the descriptor closes, after the rename: the sign that this writer still lives.
  ::flock(fd, LOCK_EX);
  const mode_t mode = existed ? (info.st_mode & 07777) : 0644;
  bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  if (ok) ok = ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(temporary.c_str());
  ::close(fd);  // the bytes are on disk already; this only lets go of the lock
  if (!ok) return false;
  // Make the rename itself durable.
  const int dirFd = ::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}

}  // namespace platform::posix
