// Files that grow by appending (logs), and the folder they live in.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "Platform.h"

namespace platform {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Creates every folder on the way to the file; those that exist are left as they are.
void MakeFolders(const std::string& file) {
  for (std::size_t i = 1; i < file.size(); ++i) {
    if (!IsSeparator(file[i]) || file[i - 1] == ':' || IsSeparator(file[i - 1])) continue;
    ::CreateDirectoryA(file.substr(0, i).c_str(), nullptr);
  }
}

}  // namespace

bool AppendToFile(const std::string& path, const std::string& bytes) {
  if (path.empty()) return false;
  MakeFolders(path);
  // FILE_APPEND_DATA alone makes every write land at the end of the file, also when several
  // programs append at once.
  const HANDLE file = ::CreateFileA(path.c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok =
      ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size();
  return ::CloseHandle(file) && ok;
}

std::string UserStateDirectory() {
  const char* folder = std::getenv("LOCALAPPDATA");
  return folder == nullptr ? std::string() : std::string(folder);
}

}  // namespace platform
