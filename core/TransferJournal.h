// The transfer journal: every transfer command given, with its reply, and the end of each
// transfer, one line per event, appended to a file that several clients may share.
//
// Format: UTF-8 text, one line per event ending in LF, fields parted by TAB, and a header line
// of the column names at the top of a new file. TAB, CR and LF inside a field become a space,
// so that a field can never break the line format. Times are local with their UTC offset
// ("2026-12-09T16:03:12+01:00"). Two kinds of line, in "Hendelse":
//   "Kommando"  a transfer command, or the delete before a fetch: Kommando, Maskin, Fil (empty
//               for a restart), Svar
//   "Ferdig"    the first done flag after an accepted send or fetch: Kommando, Maskin and Fil
//               of that command, the final Status, Melding, Resultat, Bytes, and Sekunder from
//               the command to the done flag
// Every line is written by one append, so lines of two clients never tear. Two clients that
// create the file at the same moment may both write the header; readers skip a repeated one.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "FileWorker.h"
#include "StatusRecord.h"

namespace client {

inline constexpr std::array<const char*, 11> kJournalColumns = {
    "Tid",    "Hendelse", "Kommando", "Maskin", "Fil",     "Svar",
    "Status", "Melding",  "Resultat", "Bytes",  "Sekunder"};
inline constexpr const char* kCommandEvent = "Kommando";
inline constexpr const char* kDoneEvent = "Ferdig";

// The header line, without its LF.
std::string JournalHeader();

// Where the journal is kept: "[VedoTcp] Journal=" of the INI file (a relative name from the INI
// file's folder); without that key, "vedo/journal.tsv" in the user's state folder (an empty path
// when the environment names none); nothing when the key is there but empty (switched off).
std::optional<std::string> JournalPath();

class TransferJournal {
 public:
  using Clock = std::chrono::system_clock;
  using Notify = std::function<void(const std::string& caption, const std::string& text)>;

  // Nothing for `path`: the journal is switched off. `notify` tells the operator, once per
  // run, that the journal cannot be written; it is called on the caller's thread. With `files`,
  // the appends run on that worker, in order, so that a journal on a dead share never holds
  // up the caller; without it they run at once.
  TransferJournal(std::optional<std::string> path, Notify notify,
                  std::function<Clock::time_point()> now = Clock::now, FileWorker* files = nullptr);

  // A transfer command as it was sent ("Send;2;P1.NC", "Restart;2", a command line's own) and
  // the server's reply to it.
  void CommandGiven(const std::string& command, const std::string& reply);
  // A status reply for the machine; ends the transfer of an accepted send or fetch there at
  // the first done flag after one without it.
  void StatusSeen(const std::string& machine, const StatusRecord& status);

 private:
  struct Open {
    std::string command;
    std::string file;
    Clock::time_point given;
    bool runningSeen = false;  // a reply without the done flag came after the command
  };

  void Append(const std::vector<std::string>& fields);
  // Tells the operator once that an append failed.
  void ReportFailure();

  std::optional<std::string> path_;
  Notify notify_;
  std::function<Clock::time_point()> now_;
  FileWorker* files_;
  std::map<std::string, Open> open_;  // by machine
  // Set by an append that failed, on whichever thread it ran.
  std::shared_ptr<std::atomic<bool>> failed_ = std::make_shared<std::atomic<bool>>(false);
  bool failureShown_ = false;
};

}  // namespace client
