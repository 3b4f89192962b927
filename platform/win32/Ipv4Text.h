// Dotted IPv4 text read by the rules of inet_aton, which Windows lacks: one to four parts, each in
// C notation (decimal, octal after "0", hexadecimal after "0x"); the last part fills the bytes
// that remain; blank space may end the text.
#pragma once

#include <optional>
#include <string>

#include "Connection.h"

namespace platform::win32 {

std::optional<Ipv4Address> ReadIpv4Text(const std::string& text);

}  // namespace platform::win32
