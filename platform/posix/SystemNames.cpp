// File-system names and process arguments are UTF-8 on this system.
#include "Cp1252.h"
#include "Platform.h"

namespace platform {

std::string ToSystemName(const std::string& name) { return Cp1252ToUtf8(name); }

std::optional<std::string> FromSystemName(const std::string& systemName) {
  return Utf8ToCp1252Exact(systemName);
}

}  // namespace platform
