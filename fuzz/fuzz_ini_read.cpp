// Reading a key from INI text. A value is one line: it never holds a line break or a zero byte,
// never begins or ends with a blank unless a pair of quotes kept it; spaces around the section and
// key names asked for and their ASCII letter case change nothing.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "ProfileText.h"
#include "Require.h"

using platform::posix::FindProfileValue;

namespace {

std::string UpperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string section = input.ConsumeRandomLengthString(32);
  const std::string key = input.ConsumeRandomLengthString(32);
  const std::string content = input.ConsumeRemainingBytesAsString();

  const auto value = FindProfileValue(content, section, key);
  if (value) {
    VEDO_REQUIRE(value->find_first_of("\r\n") == std::string::npos);
    // A value ends at a zero byte, as a Windows program sees it; that may leave a blank last.
    const bool quotedOrCut = content.find_first_of(std::string("\"'\0", 3)) != std::string::npos;
    VEDO_REQUIRE(value->find('\0') == std::string::npos);
    if (!quotedOrCut && !value->empty()) {
      VEDO_REQUIRE(!IsBlank(value->front()) && !IsBlank(value->back()));
    }
  }
  VEDO_REQUIRE(FindProfileValue(content, " " + section + "  ", "  " + key + " ") == value);
  VEDO_REQUIRE(FindProfileValue(content, UpperAscii(section), UpperAscii(key)) == value);
  // A later section of the same name cannot change the key of the first.
  if (value)
    VEDO_REQUIRE(FindProfileValue(content + "\r\n[" + section + "]\r\n" + key + "=other", section,
                                  key) == value);
  return 0;
}
