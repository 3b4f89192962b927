// The registry through the A functions: HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER as the roots.
#include <windows.h>

#include <string>
#include <vector>

#include "Platform.h"

namespace platform {
namespace {

class Win32RegistryKey : public RegistryKey {
 public:
  explicit Win32RegistryKey(HKEY key) : key_(key) {}
  ~Win32RegistryKey() override { ::RegCloseKey(key_); }
  Win32RegistryKey(const Win32RegistryKey&) = delete;
  Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;

  std::string ReadText(const std::string& name) const override {
    DWORD size = 0;
    // A value that is missing, or holds no data, reads as empty whatever its type.
    if (::RegQueryValueExA(key_, name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS ||
        size == 0) {
      return {};
    }
    std::vector<char> data(size);
    DWORD type = REG_NONE;
    if (::RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                           &size) != ERROR_SUCCESS) {
      throw RegistryError("Failed to get data for '" + name + "'");
    }
    // Taken literally: an expandable string is not expanded.
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
      throw RegistryError("Invalid data type for '" + name + "'");
    }
    const std::string text(data.data(), size);
    return text.substr(0, text.find('\0'));
  }

 private:
  HKEY key_;
};

HKEY RootKey(RegistryRoot root) {
  return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

}  // namespace

std::unique_ptr<RegistryKey> OpenRegistryKey(RegistryRoot root, const std::string& path,
                                             RegistryOpen mode) {
  HKEY key = nullptr;
  LONG result = ERROR_SUCCESS;
  switch (mode) {
    case RegistryOpen::ReadWrite:
      result = ::RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_READ | KEY_WRITE, &key);
      break;
    case RegistryOpen::ReadOnly:
      result = ::RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_READ, &key);
      break;
    case RegistryOpen::Create:
      result = ::RegCreateKeyExA(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
      break;
  }
  if (result != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32RegistryKey>(key);
}

}  // namespace platform
