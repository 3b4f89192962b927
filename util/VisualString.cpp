#include <array>

#include "Util.h"

namespace util {
namespace {

constexpr std::array<const char*, 32> kControlNames = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",   "TAB", "LF",
    "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "XON", "DC2", "XOFF", "DC4", "NAK",
    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",   "US"};

// A token is at most this long, brackets included.
constexpr std::size_t kTokenWindow = 6;

bool NeedsCodeToken(unsigned char c) {
  return c >= 127 || c == '!' || c == '#' || c == '@' || c == '[' || c == ']';
}

}  // namespace

std::string VisualChar(unsigned char character) {
  if (character < kControlNames.size()) return std::string("[") + kControlNames[character] + "]";
  if (NeedsCodeToken(character)) return "[" + std::to_string(character) + "]";
  return std::string(1, static_cast<char>(character));
}

bool ParseVisualToken(const std::string& token, unsigned char& character) {
  if (token.size() < 3) return false;
  int32_t code = 0;
  if (TryTextToInt(token.substr(1, token.size() - 2), code) && code >= 0 && code <= 255) {
    character = static_cast<unsigned char>(code);
    return true;
  }
  for (unsigned char c = 0; c < kControlNames.size(); ++c) {
    if (token == VisualChar(c)) {
      character = c;
      return true;
    }
  }
  return false;
}

void DecodeVisual(std::string& text) {
  if (text.size() < 3 || text.find('[') == std::string::npos) return;
  std::string result;
  bool badToken = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] != '[') {
      result += text[pos++];
      continue;
    }
    const std::string window = text.substr(pos, kTokenWindow);
    const auto close = window.find(']');
    if (close == std::string::npos) {
      badToken = true;  // the "[" alone is dropped; reading goes on after it
      ++pos;
      continue;
    }
    unsigned char character = 0;
    if (ParseVisualToken(UpperText(window.substr(0, close + 1)), character)) {
      result += static_cast<char>(character);
    } else {
      badToken = true;
    }
    pos += close + 1;
  }
  if (badToken) Notice("Feil med visuell string", text);
  text = result;
}

}  // namespace util
