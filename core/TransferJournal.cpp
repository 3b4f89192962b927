#include "TransferJournal.h"

#include <cstdio>
#include <ctime>
#include <mutex>

#include "Cp1252.h"
#include "Platform.h"
#include "Protocol.h"
#include "Util.h"

namespace client {
namespace {

// ReadIni cannot tell a missing key from an empty one; no one writes this byte into an INI
// file, so getting it back means the key is missing.
constexpr const char* kKeyMissing = "\x01";

constexpr const char* kStateSubpath = "vedo/journal.tsv";

std::string JoinedByTabs(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) line += (i == 0 ? "" : "\t") + fields[i];
  return line;
}

std::string Field(const std::string& text) {
  std::string field = platform::Cp1252ToUtf8(text);
  for (char& c : field) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return field;
}

// "2026-12-09T16:03:12+01:00" in local time.
std::string LocalTime(TransferJournal::Clock::time_point at) {
  static std::mutex localtimeMutex;  // std::localtime shares one buffer
  const std::time_t seconds = TransferJournal::Clock::to_time_t(at);
  char text[40] = {};
  {
    std::lock_guard lock(localtimeMutex);
    if (const std::tm* local = std::localtime(&seconds)) {
      std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", local);
    }
  }
  std::string result = text;
  if (result.size() == 24) result.insert(22, ":");  // "+0100" as "+01:00"
  return result;
}

}  // namespace

std::string JournalHeader() {
  return JoinedByTabs(std::vector<std::string>(kJournalColumns.begin(), kJournalColumns.end()));
}

std::optional<std::string> JournalPath() {
  const std::string value = util::ReadIni("VedoTcp", "Journal", kKeyMissing);
  if (value.empty()) return std::nullopt;
  if (value != kKeyMissing) {
    if (platform::IsFullPath(value)) return value;
    const std::string& ini = util::IniFile();
    return ini.substr(0, ini.rfind(platform::kPathSeparator) + 1) + value;
  }
  const std::string folder = platform::UserStateDirectory();
  if (folder.empty()) return std::string();
  std::string subpath = kStateSubpath;
  for (char& c : subpath) {
    if (c == '/') c = platform::kPathSeparator;
  }
  return folder + platform::kPathSeparator + subpath;
}

TransferJournal::TransferJournal(std::optional<std::string> path, Notify notify,
                                 std::function<Clock::time_point()> now, FileWorker* files)
    : path_(std::move(path)), notify_(std::move(notify)), now_(std::move(now)), files_(files) {}

void TransferJournal::CommandGiven(const std::string& command, const std::string& reply) {
  const CommandParts parts = SplitCommand(command);
  const Clock::time_point given = now_();
  Append({LocalTime(given), kCommandEvent, parts.typedWord, parts.machine, parts.file, reply, "",
          "", "", "", ""});
  // A restart or a delete has no done flag of its own; a refused command has no transfer.
  if (IsOk(reply) && parts.word != "RESTART" && parts.word != "SLETT") {
    open_[parts.machine] = Open{parts.typedWord, parts.file, given};
  }
}

void TransferJournal::StatusSeen(const std::string& machine, const StatusRecord& status) {
  ReportFailure();
  const auto found = open_.find(machine);
  if (found == open_.end()) return;
  Open& open = found->second;
  // A done flag left over from the transfer before must not end this one.
  if (!status.Done()) {
    open.runningSeen = true;
    return;
  }
  if (!open.runningSeen) return;
  const Clock::time_point at = now_();
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(at - open.given).count();
  Append({LocalTime(at), kDoneEvent, open.command, machine, open.file, "", status.status,
          status.message, status.result, status.bytes, std::to_string(seconds)});
  open_.erase(found);
}

void TransferJournal::Append(const std::vector<std::string>& fields) {
  ReportFailure();
  if (!path_) return;
  std::vector<std::string> cleaned;
  for (const std::string& field : fields) cleaned.push_back(Field(field));
  auto append = [path = *path_, line = JoinedByTabs(cleaned) + "\n", failed = failed_] {
    const auto size = platform::FileSize(path);
    const std::string text = !size || *size == 0 ? JournalHeader() + "\n" + line : line;
    if (!platform::AppendToFile(path, text)) *failed = true;
  };
  if (files_ == nullptr) {
    append();
    ReportFailure();
  } else {
    files_->Post(std::move(append));
  }
}

void TransferJournal::ReportFailure() {
  if (!*failed_ || failureShown_) return;
  failureShown_ = true;
  notify_("Overf\xF8ringsjournal",
          "Kan ikke skrive i journalen " +
              (path_->empty() ? std::string("(ingen mappe for programtilstand)") : *path_) +
              ".\rOverf\xF8ringene g\xE5r som f\xF8r, men blir ikke f\xF8rt i journalen.");
}

}  // namespace client
