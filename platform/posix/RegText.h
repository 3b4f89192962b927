// Reading of Windows .reg text (REGEDIT4 and version 5.00), enough for a registry of text
// values: keys are found, text values read, values of other types recognised.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace platform::posix {

enum class RegValueKind { Text, OtherType, Unreadable };

struct RegValue {
  RegValueKind kind = RegValueKind::Text;
  std::string text;  // for Text: up to the first NUL, in cp1252
};

// Value names folded to capitals, since the registry ignores their case.
using RegValues = std::map<std::string, RegValue>;

// The file as 8-bit text: UTF-16LE (FF FE) converted to cp1252, other files as they are.
std::string RegFileText(const std::string& bytes);

// True when the text begins with one of the two headers.
bool HasRegHeader(const std::string& text);

// The values of the key ("HKEY_CURRENT_USER\Software\Vedo"), every section of that path
// merged in file order; nothing when the file has no header or no such key.
std::optional<RegValues> FindRegKey(const std::string& text, const std::string& keyPath);

std::string FoldRegName(const std::string& name);

}  // namespace platform::posix
