// Makes a registry key under HKEY_CURRENT_USER with the given values, for the backend probe:
// as the POSIX backend's .reg file, or with the registry functions of Windows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace probe {

struct RegistryValue {
  std::string name;
  std::uint32_t type;  // REG_SZ 1, REG_EXPAND_SZ 2, REG_BINARY 3, REG_DWORD 4, REG_MULTI_SZ 7
  std::string data;    // the stored bytes, a string's NUL included
};

// Replaces every key the probe made before with this one.
void MakeCurrentUserKey(const std::string& path, const std::vector<RegistryValue>& values);

}  // namespace probe
