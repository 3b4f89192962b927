// Reading .reg text (REGEDIT4, version 5.00, UTF-16). Whatever surrounds it, a text value of
// the key reads back as written: lines after it, or a comment line before its key, cannot hide
// or change it. A file reads the same as 8-bit text and as UTF-16, and a text value never holds
// a zero byte.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "Cp1252.h"
#include "RegText.h"
#include "Require.h"

using platform::posix::FindRegKey;
using platform::posix::FoldRegName;
using platform::posix::RegFileText;
using platform::posix::RegValueKind;

namespace {

const std::string kKey = "HKEY_CURRENT_USER\\Software\\Vedo";
const char* const kHeaders[] = {"REGEDIT4", "Windows Registry Editor Version 5.00"};

// A name or text as the registry editor exports it: "\" and a quote escaped.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

bool OneLine(const std::string& text) {
  return text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

std::string Utf16File(const std::string& text) {
  return "\xFF\xFE" + platform::Cp1252ToUtf16Le(text);
}

// The value's text as read from the file, or "<none>".
std::string ReadBack(const std::string& file, const std::string& name) {
  const auto values = FindRegKey(RegFileText(file), kKey);
  if (!values) return "<no key>";
  const auto found = values->find(FoldRegName(name));
  if (found == values->end() || found->second.kind != RegValueKind::Text) return "<none>";
  return found->second.text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string header = kHeaders[input.ConsumeBool() ? 1 : 0];
  const std::string name = input.ConsumeRandomLengthString(16);
  const std::string text = input.ConsumeRandomLengthString(32);
  const std::string comment = input.ConsumeRandomLengthString(32);
  const std::string body = input.ConsumeRemainingBytesAsString();

  // Any file at all: read the same in both encodings; no text value holds a zero byte.
  const auto plain = FindRegKey(RegFileText(body), kKey);
  if (plain) {
    for (const auto& [valueName, value] : *plain) {
      VEDO_REQUIRE(value.text.find('\0') == std::string::npos);
    }
  }
  const bool bodyIsUtf16 = body.size() >= 2 && body[0] == '\xFF' && body[1] == '\xFE';
  if (!bodyIsUtf16) {
    const auto wide = FindRegKey(RegFileText(Utf16File(body)), kKey);
    VEDO_REQUIRE(plain.has_value() == wide.has_value());
    if (plain) {
      VEDO_REQUIRE(plain->size() == wide->size());
      for (const auto& [valueName, value] : *plain) {
        VEDO_REQUIRE(wide->count(valueName) == 1 && wide->at(valueName).kind == value.kind &&
                     wide->at(valueName).text == value.text);
      }
    }
  }

  // A value of ours, with the fuzzed text right after it and a fuzzed comment above its key.
  // The body must not name the key or the value again, which may rightly change or delete it.
  if (!OneLine(name) || !OneLine(text) || !OneLine(comment)) return 0;
  const std::string foldedBody = FoldRegName(body);
  if (foldedBody.find(FoldRegName(kKey)) != std::string::npos ||
      foldedBody.find(FoldRegName(Quoted(name))) != std::string::npos) {
    return 0;
  }
  const std::string file = header + "\r\n\r\n;" + comment + "\r\n[" + kKey + "]\r\n" +
                           Quoted(name) + "=" + Quoted(text) + "\r\n" + body;
  VEDO_REQUIRE(ReadBack(file, name) == text);
  VEDO_REQUIRE(ReadBack(Utf16File(file), name) == text);
  return 0;
}
