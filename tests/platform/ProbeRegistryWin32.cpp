#include <windows.h>

#include <stdexcept>

#include "ProbeRegistry.h"

namespace probe {

void MakeCurrentUserKey(const std::string& path, const std::vector<RegistryValue>& values) {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\VedoProbe");
  HKEY key = nullptr;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
    throw std::runtime_error("cannot create " + path);
  }
  for (const auto& value : values) {
    ::RegSetValueExA(key, value.name.c_str(), 0, value.type,
                     reinterpret_cast<const BYTE*>(value.data.data()),
                     static_cast<DWORD>(value.data.size()));
  }
  ::RegCloseKey(key);
}

}  // namespace probe
