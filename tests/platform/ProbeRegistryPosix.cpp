#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "ProbeRegistry.h"

namespace probe {
namespace {

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string HexBytes(const std::string& bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(bytes[i]));
    out += (i == 0 ? "" : ",") + std::string(pair);
  }
  return out;
}

std::string ValueLine(const RegistryValue& value) {
  std::string data;
  const bool plainString = value.type == 1 && !value.data.empty() && value.data.back() == '\0' &&
                           value.data.find('\0') == value.data.size() - 1;
  if (plainString) {
    data = Quoted(value.data.substr(0, value.data.size() - 1));
  } else if (value.type == 3) {
    data = "hex:" + HexBytes(value.data);
  } else if (value.type == 4 && value.data.size() == 4) {
    char dword[16];
    std::snprintf(
        dword, sizeof dword, "dword:%02x%02x%02x%02x", static_cast<unsigned char>(value.data[3]),
        static_cast<unsigned char>(value.data[2]), static_cast<unsigned char>(value.data[1]),
        static_cast<unsigned char>(value.data[0]));
    data = dword;
  } else {
    char type[16];
    std::snprintf(type, sizeof type, "hex(%x):", static_cast<unsigned>(value.type));
    data = type + HexBytes(value.data);
  }
  return Quoted(value.name) + "=" + data + "\r\n";
}

}  // namespace

void MakeCurrentUserKey(const std::string& path, const std::vector<RegistryValue>& values) {
  const char* dir = std::getenv("VEDO_REGISTRY_DIR");
  if (dir == nullptr) throw std::runtime_error("VEDO_REGISTRY_DIR is not set");
  std::string text = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + path + "]\r\n";
  for (const auto& value : values) text += ValueLine(value);
  std::ofstream(std::string(dir) + "/HKEY_CURRENT_USER.reg", std::ios::binary) << text;
}

}  // namespace probe
