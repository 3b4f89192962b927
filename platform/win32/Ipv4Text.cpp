#include "Ipv4Text.h"

#include <cstdint>
#include <vector>

namespace platform::win32 {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int DigitValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// One number in C notation from `pos` on; nothing when it exceeds 32 bits.
std::optional<std::uint64_t> ReadNumber(const std::string& text, std::size_t& pos) {
  int base = 10;
  if (text[pos] == '0') {
    base = 8;
    ++pos;
    if (pos + 1 < text.size() && (text[pos] == 'x' || text[pos] == 'X') &&
        DigitValue(text[pos + 1]) < 16) {
      base = 16;
      ++pos;
    }
  }
  std::uint64_t value = 0;
  while (pos < text.size() && DigitValue(text[pos]) < base) {
    value = value * base + DigitValue(text[pos++]);
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<Ipv4Address> ReadIpv4Text(const std::string& text) {
  std::vector<std::uint64_t> parts;
  std::size_t pos = 0;
  for (;;) {
    if (pos >= text.size() || !IsDigit(text[pos])) return std::nullopt;
    const auto part = ReadNumber(text, pos);
    if (!part) return std::nullopt;
    parts.push_back(*part);
    if (pos < text.size() && text[pos] == '.') {
      if (parts.size() > 3 || *part > 0xFF) return std::nullopt;
      ++pos;
      continue;
    }
    break;
  }
  if (pos < text.size() && !IsSpace(text[pos])) return std::nullopt;
  // The last part fills the 4, 3, 2 or 1 bytes that the parts before it left.
  const std::uint64_t limits[] = {0xFFFFFFFFu, 0xFFFFFFu, 0xFFFFu, 0xFFu};
  const std::uint64_t last = parts.back();
  if (last > limits[parts.size() - 1]) return std::nullopt;
  Ipv4Address address{};
  for (std::size_t i = 0; i + 1 < parts.size(); ++i)
    address[i] = static_cast<std::uint8_t>(parts[i]);
  for (std::size_t i = 3; i >= parts.size() - 1; --i) {
    address[i] = static_cast<std::uint8_t>(last >> (8 * (3 - i)));
    if (i == 0) break;
  }
  return address;
}

}  // namespace platform::win32
