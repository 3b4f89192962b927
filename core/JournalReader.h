// The transfer journal read back: its lines by the column names of its header, and the lines
// that pass a filter, newest first. vedo-journal and the window's journal view both read it
// here. Texts are UTF-8, as in the file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace journal {

struct Journal {
  std::vector<std::string> columns;            // from the header line
  std::vector<std::vector<std::string>> rows;  // in the file's order, each with every column
  std::vector<std::string> skipped;            // what was wrong with the lines left out

  // The index of the column of that name; `columns.size()` when there is none.
  std::size_t Column(const std::string& name) const;
};

// Reads the file's text; nothing when the first line is not a journal's header. An empty text
// is a journal without entries. Repeated header lines are passed over; lines with another
// number of fields are left out and named in `skipped`.
std::optional<Journal> ParseJournal(const std::string& text);

// A moment as seconds since 1970-01-01 00:00 UTC.
using Instant = std::int64_t;

// A journal line's time, "2026-12-09T16:03:12+01:00", as the instant it names (its offset
// counts); nothing for a text of another form or an impossible date or time.
std::optional<Instant> LineInstant(const std::string& text);

// A time as --since takes it, in the reader's local time: "YYYY-MM-DD", with " HH:MM" or
// " HH:MM:SS" (or "T" for the blank); nothing for another form or an impossible date or time.
std::optional<Instant> SinceInstant(const std::string& text);

struct Filter {
  std::string machine;           // the machine exactly, when not empty
  std::optional<Instant> since;  // lines from this instant on
  std::string file;              // the file, or the last part of its path, when not empty
};

// The rows that pass the filter, newest first. A line whose time cannot be read does not pass
// a filter by time.
std::vector<const std::vector<std::string>*> Selected(const Journal& journal, const Filter& filter);

}  // namespace journal
