// The Windows-1252 code page, in which every text of the system is held, and its conversion to
// and from Unicode at the edges (toolkit, command line, UTF-16 files).
#pragma once

#include <optional>
#include <string>

namespace platform {

// The Unicode code point of a cp1252 byte. The five bytes that cp1252 leaves undefined map to
// the C1 controls of the same value, as Windows does, so every byte survives a round trip.
char32_t Cp1252ToCodePoint(unsigned char byte);

// The cp1252 byte of a code point; '?' for a character cp1252 cannot hold.
char CodePointToCp1252(char32_t codePoint);

std::string Cp1252ToUtf8(const std::string& text);

// Invalid UTF-8 sequences, like characters outside cp1252, become '?'.
std::string Utf8ToCp1252(const std::string& text);

// The same where a wrong character would be a wrong name: nothing when the text is no valid
// UTF-8 or holds a character outside cp1252.
std::optional<std::string> Utf8ToCp1252Exact(const std::string& text);

// UTF-16LE code units (two bytes each, a trailing odd byte ignored) to cp1252.
std::string Utf16LeToCp1252(const std::string& bytes);
std::string Cp1252ToUtf16Le(const std::string& text);

}  // namespace platform
