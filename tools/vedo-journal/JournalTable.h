// The transfer journal read back: its lines by the column names of its header, the filters of
// vedo-journal, and the table it prints. Texts are UTF-8, as in the file.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace journal {

struct Journal {
  std::vector<std::string> columns;            // from the header line
  std::vector<std::vector<std::string>> rows;  // in the file's order, each with every column
  std::vector<std::string> skipped;            // what was wrong with the lines left out
};

// Reads the file's text; nothing when the first line is not a journal's header. An empty text
// is a journal without entries. Repeated header lines are passed over; lines with another
// number of fields are left out and named in `skipped`.
std::optional<Journal> ParseJournal(const std::string& text);

struct Filter {
  std::string machine;  // the machine exactly, when not empty
  std::string since;    // "YYYY-MM-DD", with " HH:MM" or " HH:MM:SS" (or "T" for the blank)
  std::string file;     // the file, or the last part of its path, when not empty
};

// True when the text is a time that --since takes.
bool IsSinceTime(const std::string& text);

// The rows that pass the filter, newest first, as a table under the column names.
std::string FormatTable(const Journal& journal, const Filter& filter);

}  // namespace journal
