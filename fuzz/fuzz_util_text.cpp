// The utility module's text rules. The integer rule gives the same value with spaces before the
// text and fails with anything after the digits; every integer's text reads back to it, in
// decimal and in hexadecimal. Decoding the visible forms of any bytes gives the bytes back,
// without a notice, and decoding never lengthens a text. cp1252 survives UTF-8 and UTF-16.
// Upper-casing keeps the length, is idempotent and gives the capitals that Unicode gives.
#include <fuzzer/FuzzedDataProvider.h>

#include <clocale>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cwctype>
#include <string>

#include "Cp1252.h"
#include "Platform.h"
#include "Require.h"
#include "Util.h"

namespace {

int notices = 0;
bool unicodeCase = false;  // the C library knows Unicode letter case

void CheckIntegerRule(const std::string& text, std::int32_t number) {
  std::int32_t value = 0;
  const bool converts = util::TryTextToInt(text, value);
  std::int32_t spaced = 0;
  VEDO_REQUIRE(util::TryTextToInt(" " + text, spaced) == converts);
  if (converts) VEDO_REQUIRE(spaced == value);
  std::int32_t ignored = 0;
  VEDO_REQUIRE(!util::TryTextToInt(text + " ", ignored));
  VEDO_REQUIRE(!util::TryTextToInt("\t" + text, ignored));

  std::int32_t back = 0;
  VEDO_REQUIRE(util::TryTextToInt(util::IntToText(number), back) && back == number);
  char hex[16];
  std::snprintf(hex, sizeof hex, "$%X", static_cast<std::uint32_t>(number));
  VEDO_REQUIRE(util::TryTextToInt(hex, back) && back == number);
  std::snprintf(hex, sizeof hex, "0x%08x", static_cast<std::uint32_t>(number));
  VEDO_REQUIRE(util::TryTextToInt(hex, back) && back == number);
}

void CheckVisualStrings(const std::string& bytes) {
  std::string visible;
  for (const char c : bytes) visible += util::VisualChar(static_cast<unsigned char>(c));
  notices = 0;
  util::DecodeVisual(visible);
  VEDO_REQUIRE(visible == bytes);
  VEDO_REQUIRE(notices == 0);

  std::string decoded = bytes;
  util::DecodeVisual(decoded);
  VEDO_REQUIRE(decoded.size() <= bytes.size());
  if (bytes.find('[') == std::string::npos) VEDO_REQUIRE(decoded == bytes && notices == 0);
}

void CheckCodePage(const std::string& bytes) {
  VEDO_REQUIRE(platform::Utf8ToCp1252(platform::Cp1252ToUtf8(bytes)) == bytes);
  VEDO_REQUIRE(platform::Utf16LeToCp1252(platform::Cp1252ToUtf16Le(bytes)) == bytes);
  // Whatever came in as UTF-8, what it became is stable.
  const std::string once = platform::Utf8ToCp1252(bytes);
  VEDO_REQUIRE(platform::Utf8ToCp1252(platform::Cp1252ToUtf8(once)) == once);
}

// The capital of each byte by the C library's Unicode case mapping, where cp1252 holds it.
void CheckUpperText(const std::string& bytes) {
  const std::string upper = util::UpperText(bytes);
  VEDO_REQUIRE(upper.size() == bytes.size());
  VEDO_REQUIRE(util::UpperText(upper) == upper);
  if (!unicodeCase) return;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char32_t small = platform::Cp1252ToCodePoint(static_cast<unsigned char>(bytes[i]));
    const auto capital = static_cast<char32_t>(std::towupper(static_cast<wint_t>(small)));
    const char held = platform::CodePointToCp1252(capital);
    const bool cp1252HasIt =
        platform::Cp1252ToCodePoint(static_cast<unsigned char>(held)) == capital;
    VEDO_REQUIRE(upper[i] == (cp1252HasIt ? held : bytes[i]));
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  unicodeCase = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
  platform::SetNoticeHandlers({[](const std::string&, const std::string&) { ++notices; },
                               [](const std::string&) { ++notices; }});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::int32_t number = input.ConsumeIntegral<std::int32_t>();
  const std::string text = input.ConsumeRemainingBytesAsString();
  CheckIntegerRule(text, number);
  CheckVisualStrings(text);
  CheckCodePage(text);
  CheckUpperText(text);
  return 0;
}
