#include <cstdint>

#include "Platform.h"
#include "Util.h"

namespace util {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseHex(const std::string& text, std::size_t pos, uint32_t& pattern) {
  if (pos >= text.size()) return false;
  uint32_t value = 0;
  int significant = 0;
  for (; pos < text.size(); ++pos) {
    const int digit = HexDigit(text[pos]);
    if (digit < 0) return false;
    if (significant > 0 || digit != 0) ++significant;
    if (significant > 8) return false;
    value = (value << 4) | static_cast<uint32_t>(digit);
  }
  pattern = value;
  return true;
}

bool ParseDecimal(const std::string& text, std::size_t pos, bool negative, int32_t& result) {
  if (pos >= text.size()) return false;
  int64_t value = 0;
  const int64_t limit = negative ? 2147483648LL : 2147483647LL;
  for (; pos < text.size(); ++pos) {
    if (text[pos] < '0' || text[pos] > '9') return false;
    value = value * 10 + (text[pos] - '0');
    if (value > limit) return false;
  }
  result = static_cast<int32_t>(negative ? -value : value);
  return true;
}

}  // namespace

std::string SplitFirst(char separator, std::string& list) {
  const auto found = list.find(separator);
  if (found == std::string::npos) {
    std::string field;
    field.swap(list);
    return field;
  }
  std::string field = list.substr(0, found);
  list.erase(0, found + 1);
  return field;
}

int ExtPos(const std::string& name) {
  for (std::size_t i = name.size(); i > 0; --i) {
    const char c = name[i - 1];
    if (c == '.') return static_cast<int>(i);
    if (c == platform::kPathSeparator) return 0;
  }
  return 0;
}

std::string IntToText(int32_t value) { return std::to_string(value); }

std::string UpperText(const std::string& text) {
  std::string upper = text;
  for (char& c : upper) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7)) {
      c = static_cast<char>(byte - 0x20);
    } else if (byte == 0x9A || byte == 0x9C || byte == 0x9E) {  // š œ ž
      c = static_cast<char>(byte - 0x10);
    } else if (byte == 0xFF) {  // ÿ
      c = static_cast<char>(0x9F);
    }
  }
  return upper;
}

bool TryTextToInt(const std::string& text, int32_t& value) {
  std::size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  std::size_t hexStart = std::string::npos;
  if (pos < text.size() && (text[pos] == '$' || text[pos] == 'x' || text[pos] == 'X')) {
    hexStart = pos + 1;
  } else if (pos + 1 < text.size() && text[pos] == '0' &&
             (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
    hexStart = pos + 2;
  }
  if (hexStart == std::string::npos) return ParseDecimal(text, pos, negative, value);
  uint32_t pattern = 0;
  if (!ParseHex(text, hexStart, pattern)) return false;
  if (negative) pattern = 0u - pattern;
  value = static_cast<int32_t>(pattern);
  return true;
}

}  // namespace util
