// INI files through the system's own profile functions.
#include <windows.h>
// windows.h names the win.ini functions so; ours are the seam's own.
#undef GetProfileString
#undef WriteProfileString

#include <vector>

#include "Platform.h"

namespace platform {

std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, std::size_t bufferSize,
                             const std::string& file) {
  if (bufferSize == 0) return {};
  std::vector<char> buffer(bufferSize);
  const DWORD length =
      ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                                 static_cast<DWORD>(buffer.size()), file.c_str());
  return std::string(buffer.data(), length);
}

bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file) {
  // An empty name would be the Windows folder's own win.ini.
  if (file.empty()) return false;
  return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) !=
         FALSE;
}

}  // namespace platform
