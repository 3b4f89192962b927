#include "JournalTable.h"

#include <algorithm>
#include <cstddef>
#include <sstream>

#include "TransferJournal.h"

namespace journal {
namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t begin = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', begin);
    fields.push_back(line.substr(begin, tab - begin));
    if (tab == std::string::npos) return fields;
    begin = tab + 1;
  }
}

// Characters, not bytes, so that "ø" takes one column.
std::size_t Width(const std::string& utf8) {
  return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::string Normalised(std::string time) {
  if (time.size() > 10 && time[10] == 'T') time[10] = ' ';
  return time;
}

bool Matches(const std::string& pattern, const std::string& text) {
  if (pattern.size() != text.size()) return false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (pattern[i] == '9' ? !digit : pattern[i] != text[i]) return false;
  }
  return true;
}

bool PassesFile(const std::string& wanted, const std::string& file) {
  if (file == wanted) return true;
  if (file.size() <= wanted.size()) return false;
  const char before = file[file.size() - wanted.size() - 1];
  return (before == '/' || before == '\\') && file.ends_with(wanted);
}

}  // namespace

std::optional<Journal> ParseJournal(const std::string& text) {
  Journal journal;
  if (text.empty()) {
    journal.columns = SplitTabs(client::JournalHeader());
    return journal;
  }
  std::istringstream lines(text);
  std::string line;
  std::getline(lines, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const std::string header = line;
  journal.columns = SplitTabs(header);
  const auto has = [&](const char* name) {
    return std::find(journal.columns.begin(), journal.columns.end(), name) != journal.columns.end();
  };
  if (!has("Tid") || !has("Hendelse") || !has("Maskin") || !has("Fil")) return std::nullopt;
  for (int number = 2; std::getline(lines, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line == header) continue;
    auto fields = SplitTabs(line);
    if (fields.size() != journal.columns.size()) {
      journal.skipped.push_back("line " + std::to_string(number) + ": " +
                                std::to_string(fields.size()) + " fields instead of " +
                                std::to_string(journal.columns.size()));
      continue;
    }
    journal.rows.push_back(std::move(fields));
  }
  return journal;
}

bool IsSinceTime(const std::string& text) {
  const std::string time = Normalised(text);
  return Matches("9999-99-99", time) || Matches("9999-99-99 99:99", time) ||
         Matches("9999-99-99 99:99:99", time);
}

std::string FormatTable(const Journal& journal, const Filter& filter) {
  const auto column = [&](const char* name) {
    return static_cast<std::size_t>(
        std::find(journal.columns.begin(), journal.columns.end(), name) - journal.columns.begin());
  };
  const std::size_t timeColumn = column("Tid");
  const std::size_t machineColumn = column("Maskin");
  const std::size_t fileColumn = column("Fil");
  const std::string since = Normalised(filter.since);

  std::vector<const std::vector<std::string>*> shown;
  // The file grows at its end, so its last line is the newest.
  for (auto row = journal.rows.rbegin(); row != journal.rows.rend(); ++row) {
    if (!filter.machine.empty() && (*row)[machineColumn] != filter.machine) continue;
    if (!filter.file.empty() && !PassesFile(filter.file, (*row)[fileColumn])) continue;
    if (!since.empty() && Normalised((*row)[timeColumn]).compare(0, 19, since) < 0) continue;
    shown.push_back(&*row);
  }

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
