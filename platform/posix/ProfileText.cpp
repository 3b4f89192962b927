#include "ProfileText.h"

#include <algorithm>
#include <vector>

namespace platform::posix {
namespace {

// One line of the file: [begin, end) its text, [end, next) its line break (may be empty).
struct Line {
  std::size_t begin;
  std::size_t end;
  std::size_t next;
};

enum class LineKind { Blank, Section, Comment, Key, Other };

bool IsLineBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

std::string Trim(const std::string& text, bool (*isBlank)(char)) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && isBlank(text[first])) ++first;
  while (last > first && isBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

std::string TrimSpaces(const std::string& text) {
  return Trim(text, [](char c) { return c == ' '; });
}

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

// Lines end at CR LF, LF or a lone CR.
std::vector<Line> SplitLines(const std::string& content) {
  std::vector<Line> lines;
  std::size_t begin = 0;
  while (begin < content.size()) {
    std::size_t end = begin;
    while (end < content.size() && content[end] != '\r' && content[end] != '\n') ++end;
    std::size_t next = end;
    if (next < content.size() && content[next] == '\r') ++next;
    if (next < content.size() && content[next] == '\n' && (next == end || content[end] == '\r')) {
      ++next;
    }
    lines.push_back({begin, end, next});
    begin = next;
  }
  return lines;
}

struct ParsedLine {
  LineKind kind = LineKind::Blank;
  std::string name;        // section name or key name
  std::string value;       // raw value, trimmed
  std::size_t valueBegin;  // offset in the file where the raw value starts (key lines)
};

ParsedLine Parse(const std::string& content, const Line& line) {
  ParsedLine parsed{};
  const std::string raw = content.substr(line.begin, line.end - line.begin);
  const std::string text = Trim(raw, IsLineBlank);
  if (text.empty()) return parsed;
  if (text[0] == '[') {
    parsed.kind = LineKind::Section;
    const auto close = text.find(']');
    parsed.name = Trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1),
                       IsLineBlank);
    return parsed;
  }
  if (text[0] == ';') {
    parsed.kind = LineKind::Comment;
    return parsed;
  }
  const auto equals = raw.find('=');
  if (equals == std::string::npos) {
    parsed.kind = LineKind::Other;
    return parsed;
  }
  parsed.kind = LineKind::Key;
  parsed.name = Trim(raw.substr(0, equals), IsLineBlank);
  parsed.value = Trim(raw.substr(equals + 1), IsLineBlank);
  std::size_t valueBegin = equals + 1;
  while (valueBegin < raw.size() && IsLineBlank(raw[valueBegin])) ++valueBegin;
  parsed.valueBegin = line.begin + valueBegin;
  return parsed;
}

// Index of the first header of the section, or lines.size().
std::size_t FindSection(const std::string& content, const std::vector<Line>& lines,
                        const std::string& section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const ParsedLine parsed = Parse(content, lines[i]);
    if (parsed.kind == LineKind::Section && SameName(parsed.name, section)) return i;
  }
  return lines.size();
}

std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

std::optional<std::string> FindProfileValue(const std::string& content, const std::string& section,
                                            const std::string& key) {
  const std::string wantedSection = TrimSpaces(section);
  const std::string wantedKey = TrimSpaces(key);
  const std::vector<Line> lines = SplitLines(content);
  for (std::size_t i = FindSection(content, lines, wantedSection) + 1; i < lines.size(); ++i) {
    const ParsedLine parsed = Parse(content, lines[i]);
    if (parsed.kind == LineKind::Section) break;
    if (parsed.kind == LineKind::Key && SameName(parsed.name, wantedKey)) {
      // A Windows program takes the value only up to its terminator.
      std::string value = Unquote(parsed.value);
      value.resize(std::min(value.size(), value.find('\0')));
      return value;
    }
  }
  return std::nullopt;
}

std::string SetProfileValue(const std::string& content, const std::string& section,
                            const std::string& key, const std::string& value) {
  const std::string wantedSection = TrimSpaces(section);
  const std::string wantedKey = TrimSpaces(key);
  const std::vector<Line> lines = SplitLines(content);
  const std::size_t header = FindSection(content, lines, wantedSection);

  if (header == lines.size()) {
    std::string result = content;
    if (!result.empty() && result.back() != '\r' && result.back() != '\n') result += "\r\n";
    return result + "[" + wantedSection + "]\r\n" + wantedKey + "=" + value + "\r\n";
  }

  std::size_t insertAfter = header;
  for (std::size_t i = header + 1; i < lines.size(); ++i) {
    const ParsedLine parsed = Parse(content, lines[i]);
    if (parsed.kind == LineKind::Section) break;
    if (parsed.kind != LineKind::Key) continue;
    if (SameName(parsed.name, wantedKey)) {
      // Keep the line up to where its old value began; the rest becomes the new value.
      return content.substr(0, parsed.valueBegin) + value + "\r\n" + content.substr(lines[i].next);
    }
    insertAfter = i;
  }
  const Line& anchor = lines[insertAfter];
  std::string result = content.substr(0, anchor.next);
  if (anchor.next == anchor.end) result += "\r\n";  // the anchor line had no line break
  return result + wantedKey + "=" + value + "\r\n" + content.substr(anchor.next);
}

}  // namespace platform::posix
