#include "JournalReader.h"

#include <algorithm>
#include <cstddef>
#include <ctime>
#include <mutex>
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

// The text's form: '9' stands for a digit, every other character for itself.
bool Matches(const std::string& pattern, const std::string& text) {
  if (pattern.size() != text.size()) return false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (pattern[i] == '9' ? !digit : pattern[i] != text[i]) return false;
  }
  return true;
}

int Number(const std::string& text, std::size_t at, std::size_t length) {
  return std::stoi(text.substr(at, length));
}

struct CivilTime {
  int year, month, day, hour = 0, minute = 0, second = 0;

  bool Possible() const {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int days = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
    return day <= days && hour < 24 && minute < 60 && second < 60;
  }
};

// "YYYY-MM-DD", " HH:MM" and ":SS" as far as the text has them ("T" or a blank between).
std::optional<CivilTime> ParseCivil(const std::string& text) {
  if (!Matches("9999-99-99", text.substr(0, 10))) return std::nullopt;
  CivilTime time{Number(text, 0, 4), Number(text, 5, 2), Number(text, 8, 2)};
  if (text.size() > 10) {
    std::string clock = text.substr(10);
    if (clock[0] == 'T') clock[0] = ' ';
    if (!Matches(" 99:99", clock) && !Matches(" 99:99:99", clock)) return std::nullopt;
    time.hour = Number(clock, 1, 2);
    time.minute = Number(clock, 4, 2);
    if (clock.size() > 6) time.second = Number(clock, 7, 2);
  }
  if (!time.Possible()) return std::nullopt;
  return time;
}

// Days from 1970-01-01 to the date, in the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int yearOfEra = static_cast<int>(year - era * 400);
  const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

Instant AsUtc(const CivilTime& time) {
  return DaysFromCivil(time.year, time.month, time.day) * 86400 + time.hour * 3600 +
         time.minute * 60 + time.second;
}

bool PassesFile(const std::string& wanted, const std::string& file) {
  if (file == wanted) return true;
  if (file.size() <= wanted.size()) return false;
  const char before = file[file.size() - wanted.size() - 1];
  return (before == '/' || before == '\\') && file.ends_with(wanted);
}

}  // namespace

std::size_t Journal::Column(const std::string& name) const {
  return static_cast<std::size_t>(std::find(columns.begin(), columns.end(), name) -
                                  columns.begin());
}

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
  for (const char* name : {"Tid", "Hendelse", "Maskin", "Fil"}) {
    if (journal.Column(name) == journal.columns.size()) return std::nullopt;
  }
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

std::optional<Instant> LineInstant(const std::string& text) {
  if (!Matches("9999-99-99T99:99:99+99:99", text) && !Matches("9999-99-99T99:99:99-99:99", text)) {
    return std::nullopt;
  }
  const auto time = ParseCivil(text.substr(0, 19));
  if (!time) return std::nullopt;
  const int offset = (Number(text, 20, 2) * 60 + Number(text, 23, 2)) * 60;
  return AsUtc(*time) - (text[19] == '-' ? -offset : offset);
}

std::optional<Instant> SinceInstant(const std::string& text) {
  if (text.size() != 10 && text.size() != 16 && text.size() != 19) return std::nullopt;
  const auto time = ParseCivil(text);
  if (!time) return std::nullopt;
  std::tm local{};
  local.tm_year = time->year - 1900;
  local.tm_mon = time->month - 1;
  local.tm_mday = time->day;
  local.tm_hour = time->hour;
  local.tm_min = time->minute;
  local.tm_sec = time->second;
  local.tm_isdst = -1;          // the zone's rule decides, also on the day the clocks change
  static std::mutex zoneMutex;  // mktime reads the zone's shared state
  std::lock_guard lock(zoneMutex);
  const std::time_t seconds = std::mktime(&local);
  if (seconds == static_cast<std::time_t>(-1)) return std::nullopt;
  return static_cast<Instant>(seconds);
}

std::vector<const std::vector<std::string>*> Selected(const Journal& journal,
                                                      const Filter& filter) {
  const std::size_t timeColumn = journal.Column("Tid");
  const std::size_t machineColumn = journal.Column("Maskin");
  const std::size_t fileColumn = journal.Column("Fil");
  std::vector<const std::vector<std::string>*> shown;
  // The file grows at its end, so its last line is the newest.
  for (auto row = journal.rows.rbegin(); row != journal.rows.rend(); ++row) {
    if (!filter.machine.empty() && (*row)[machineColumn] != filter.machine) continue;
    if (!filter.file.empty() && !PassesFile(filter.file, (*row)[fileColumn])) continue;
    if (filter.since) {
      const auto at = LineInstant((*row)[timeColumn]);
      if (!at || *at < *filter.since) continue;
    }
    shown.push_back(&*row);
  }
  return shown;
}

}  // namespace journal
