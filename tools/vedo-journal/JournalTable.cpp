#include "JournalTable.h"

#include <algorithm>
#include <cstddef>

namespace journal {
namespace {

// Characters, not bytes, so that "ø" takes one column.
std::size_t Width(const std::string& utf8) {
  return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

}  // namespace

std::string FormatTable(const Journal& journal, const Filter& filter) {
  const auto shown = Selected(journal, filter);
  std::vector<std::size_t> widths;
  for (const auto& name : journal.columns) widths.push_back(Width(name));
  for (const auto* row : shown) {
    for (std::size_t i = 0; i < row->size(); ++i) widths[i] = std::max(widths[i], Width((*row)[i]));
  }
  std::string table;
  const auto addLine = [&](const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
      line += fields[i];
      if (i + 1 < fields.size()) line += std::string(widths[i] - Width(fields[i]) + 2, ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    table += line + "\n";
  };
  addLine(journal.columns);
  for (const auto* row : shown) addLine(*row);
  return table;
}

}  // namespace journal
