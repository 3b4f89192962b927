// Writing a key into INI text: the written value reads back, and every other key reads as
// before. Names and values that the file format cannot hold are left out of the rule: a line
// break anywhere, blanks at the edge, a key with "=" or one that looks like a section or a
// comment, a section name with "]", a value in a pair of quotes or with a zero byte (where a read
// ends).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "ProfileText.h"
#include "Require.h"

using platform::posix::FindProfileValue;
using platform::posix::SetProfileValue;

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

std::string TrimSpaces(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool FitsOnALine(const std::string& text) {
  return text.find_first_of("\r\n") == std::string::npos &&
         (text.empty() || (!IsBlank(text.front()) && !IsBlank(text.back())));
}

bool UsableName(const std::string& name) { return !name.empty() && FitsOnALine(name); }

bool UsableKey(const std::string& key) {
  return UsableName(key) && key.find('=') == std::string::npos && key[0] != '[' && key[0] != ';';
}

bool UsableValue(const std::string& value) {
  const bool inQuotes = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
  return FitsOnALine(value) && !inQuotes && value.find('\0') == std::string::npos;
}

std::string UpperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string section = TrimSpaces(input.ConsumeRandomLengthString(24));
  const std::string key = TrimSpaces(input.ConsumeRandomLengthString(24));
  const std::string value = input.ConsumeRandomLengthString(40);
  const std::string otherSection = input.ConsumeRandomLengthString(24);
  const std::string otherKey = input.ConsumeRandomLengthString(24);
  const std::string content = input.ConsumeRemainingBytesAsString();

  const std::string written = SetProfileValue(content, section, key, value);
  if (!UsableName(section) || section.find(']') != std::string::npos || !UsableKey(key) ||
      !UsableValue(value)) {
    return 0;
  }
  VEDO_REQUIRE(FindProfileValue(written, section, key) == value);

  const bool sameKey = UpperAscii(TrimSpaces(otherSection)) == UpperAscii(section) &&
                       UpperAscii(TrimSpaces(otherKey)) == UpperAscii(key);
  if (!sameKey) {
    VEDO_REQUIRE(FindProfileValue(written, otherSection, otherKey) ==
                 FindProfileValue(content, otherSection, otherKey));
  }
  // Writing the same again changes nothing.
  VEDO_REQUIRE(SetProfileValue(written, section, key, value) == written);
  return 0;
}
