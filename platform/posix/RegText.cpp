#include "RegText.h"

#include <cctype>
#include <cstdlib>
#include <vector>

#include "Cp1252.h"

namespace platform::posix {
namespace {

constexpr const char* kHeader4 = "REGEDIT4";
constexpr const char* kHeader5 = "Windows Registry Editor Version 5.00";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimLeft(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return text.substr(i);
}

std::string TrimRight(std::string text) {
  while (!text.empty() && IsBlank(text.back())) text.pop_back();
  return text;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string current;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.push_back(current);
      current.clear();
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      current += text[i];
    }
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

// A quoted name or string at text[pos] ('"'); pos moves past the closing quote.
std::optional<std::string> ReadQuoted(const std::string& text, std::size_t& pos) {
  if (pos >= text.size() || text[pos] != '"') return std::nullopt;
  std::string out;
  for (std::size_t i = pos + 1; i < text.size(); ++i) {
    if (text[i] == '\\') {
      if (i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"')) {
        out += text[++i];
        continue;
      }
      return std::nullopt;  // no other escape is defined
    }
    if (text[i] == '"') {
      pos = i + 1;
      return out;
    }
    out += text[i];
  }
  return std::nullopt;
}

// After complete data only blanks and a ";comment" may follow.
bool OnlyCommentFollows(const std::string& text, std::size_t pos) {
  const std::string rest = TrimLeft(text.substr(pos));
  return rest.empty() || rest[0] == ';';
}

// "hh,hh,..." with an optional trailing comma; nothing when malformed.
std::optional<std::string> ParseBytes(const std::string& list) {
  std::string bytes;
  std::string rest = TrimRight(list);
  const auto comment = rest.find(';');
  if (comment != std::string::npos) rest = TrimRight(rest.substr(0, comment));
  std::size_t i = 0;
  while (i < rest.size()) {
    while (i < rest.size() && IsBlank(rest[i])) ++i;
    std::size_t end = i;
    while (end < rest.size() && std::isxdigit(static_cast<unsigned char>(rest[end]))) ++end;
    if (end == i || end - i > 2) return std::nullopt;
    bytes += static_cast<char>(std::strtoul(rest.substr(i, end - i).c_str(), nullptr, 16));
    i = end;
    while (i < rest.size() && IsBlank(rest[i])) ++i;
    if (i == rest.size()) break;
    if (rest[i] != ',') return std::nullopt;
    ++i;
  }
  return bytes;
}

std::string UpToNul(const std::string& text) { return text.substr(0, text.find('\0')); }

RegValue ParseData(const std::string& data, bool unicodeBytes) {
  if (!data.empty() && data[0] == '"') {
    std::size_t pos = 0;
    const auto text = ReadQuoted(data, pos);
    if (!text || !OnlyCommentFollows(data, pos)) return {RegValueKind::Unreadable, {}};
    return {RegValueKind::Text, UpToNul(*text)};
  }
  const auto colon = data.find(':');
  if (colon == std::string::npos) return {RegValueKind::Unreadable, {}};
  const std::string type = TrimRight(data.substr(0, colon));
  const std::string payload = data.substr(colon + 1);
  if (type == "hex(1)" || type == "hex(2)") {
    const auto bytes = ParseBytes(payload);
    if (!bytes) return {RegValueKind::Unreadable, {}};
    const std::string text = unicodeBytes ? Utf16LeToCp1252(*bytes) : *bytes;
    return {RegValueKind::Text, UpToNul(text)};
  }
  // A value of another type that holds no data reads as empty.
  if (type.rfind("hex", 0) == 0) {
    const auto bytes = ParseBytes(payload);
    if (bytes && bytes->empty()) return {RegValueKind::Text, {}};
  }
  return {RegValueKind::OtherType, {}};
}

// Where the data of a value line begins when it is a byte list ("name"=hex...: or @=hex...:),
// the only kind of line that may continue onto the next one.
std::optional<std::size_t> ByteListStart(const std::string& line) {
  std::size_t pos = 0;
  if (line.empty()) return std::nullopt;
  if (line[0] == '@') {
    pos = 1;
  } else if (!ReadQuoted(line, pos)) {
    return std::nullopt;
  }
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  if (pos >= line.size() || line[pos] != '=') return std::nullopt;
  ++pos;
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  if (line.compare(pos, 3, "hex") != 0) return std::nullopt;
  return pos;
}

// Takes a final "\" (blanks and a ";comment" may follow it) off the byte list at `from`: true
// when there was one, so that the list goes on at the next line.
bool TakeContinuation(std::string& line, std::size_t from) {
  std::string list = TrimRight(line.substr(from, line.find(';', from) - from));
  if (list.empty() || list.back() != '\\') return false;
  list.pop_back();
  line = line.substr(0, from) + TrimRight(list);
  return true;
}

// Joins byte lists continued with ",\" onto the following lines. No other line continues: a
// comment or a text value that ends in a backslash leaves the next line alone.
std::vector<std::string> JoinContinuations(const std::vector<std::string>& lines) {
  std::vector<std::string> joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string line = TrimRight(lines[i]);
    const auto list = ByteListStart(TrimLeft(line));
    if (list) {
      line = TrimLeft(line);
      bool goesOn = TakeContinuation(line, *list);
      while (goesOn && i + 1 < lines.size()) {
        std::string next = TrimLeft(lines[++i]);
        if (next.empty() || next[0] == ';') continue;  // skipped inside a list
        goesOn = TakeContinuation(next, 0);
        line += TrimRight(next);
      }
    }
    joined.push_back(line);
  }
  return joined;
}

}  // namespace

std::string FoldRegName(const std::string& name) {
  std::string out = name;
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string RegFileText(const std::string& bytes) {
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    return Utf16LeToCp1252(bytes.substr(2));
  }
  return bytes;
}

bool HasRegHeader(const std::string& text) {
  const auto lines = SplitLines(text);
  if (lines.empty()) return false;
  const std::string first = TrimLeft(lines[0]);
  return first == kHeader4 || first == kHeader5;
}

std::optional<RegValues> FindRegKey(const std::string& text, const std::string& keyPath) {
  if (!HasRegHeader(text)) return std::nullopt;
  const std::vector<std::string> lines = JoinContinuations(SplitLines(text));
  const bool unicodeBytes = TrimLeft(lines[0]) == kHeader5;
  const std::string wanted = FoldRegName(keyPath);

  std::optional<RegValues> values;
  bool inKey = false;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string line = TrimLeft(lines[i]);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      const auto close = line.rfind(']');
      const std::string path = close == std::string::npos ? "" : line.substr(1, close - 1);
      inKey = FoldRegName(path) == wanted;
      if (inKey && !values) values = RegValues{};
      continue;
    }
    if (!inKey || line[0] != '"') continue;
    std::size_t pos = 0;
    const auto name = ReadQuoted(line, pos);
    if (!name) continue;
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos >= line.size() || line[pos] != '=') continue;
    const std::string data = TrimLeft(line.substr(pos + 1));
    if (TrimRight(data) == "-") {
      values->erase(FoldRegName(*name));
      continue;
    }
    (*values)[FoldRegName(*name)] = ParseData(data, unicodeBytes);
  }
  return values;
}

}  // namespace platform::posix
