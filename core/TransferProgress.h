// How far a transfer has come, read from the byte counts of successive status replies: its
// rate, and with the program's size its share done and the time left; a count that stops
// moving shows as stalled.
//
// A transfer is under way from the first reply whose done flag is not "1" and whose status is a
// transfer word ("Sender", "Henter", "Mottar", "Overfører"; first word, any letter case), or
// whose byte count has grown since the reply before (for servers with other words). It lasts
// while the status text stays the one it began with and the count does not fall, and ends with
// the done flag, a count that is no number, or a count that reaches the program's size (a
// server that never sends the done flag). A fall of the count or a new status text begins
// afresh.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "StatusRecord.h"

namespace client {

// What the progress bar shows of a transfer under way.
struct ProgressView {
  std::uintmax_t bytes = 0;
  std::optional<std::uintmax_t> size;            // of the program, when known
  std::optional<double> share;                   // 0 to 1, when the program's size is known
  std::optional<double> bytesPerSecond;          // once the replies span enough time
  std::optional<std::chrono::seconds> timeLeft;  // with a share and a rate above zero
  bool stalled = false;                          // the count has not moved for a while
};

class TransferProgress {
 public:
  using Clock = std::chrono::steady_clock;
  // The rate is the mean over this much of the latest replies.
  static constexpr std::chrono::seconds kRateWindow{5};
  // A count that has not moved for this long is stalled.
  static constexpr std::chrono::seconds kStallTime{10};

  // The size of the program that the transfer under way carries, found once the transfer has
  // shown itself; it holds until that transfer ends. Without a transfer under way, nothing.
  void SetProgramSize(std::uintmax_t size);
  // One status reply and the time it came.
  void Update(Clock::time_point at, const StatusRecord& status);
  // Forgets everything, for another machine.
  void Reset();
  // Nothing when no transfer is under way.
  std::optional<ProgressView> View() const;

 private:
  enum class Phase { Idle, Running, Complete };
  struct Sample {
    Clock::time_point at;
    std::uintmax_t bytes;
  };

  void Begin(const std::string& status, Clock::time_point at);
  void End();

  Phase phase_ = Phase::Idle;
  std::optional<std::uintmax_t> size_;  // of the transfer under way
  std::string transferStatus_;          // the status text it began with
  std::deque<Sample> samples_;          // within the rate window, and the one just before it
  Clock::time_point lastMove_;
  std::optional<Sample> previous_;  // the reply before, while no transfer is under way
};

// The byte count of a status reply: digits, groups of them parted by a single space (or
// no-break space) allowed, blanks around, and after a blank any unit word ("12 345 bytes").
// Nothing for a text without digits, with a sign or other characters, or beyond the range.
std::optional<std::uintmax_t> ParseByteCount(const std::string& text);

// The size of the program file, when the client can reach it: the file's full path, or the
// machine's directory as the server answered it (a full path) followed by the file name.
std::optional<std::uintmax_t> ProgramFileSize(const std::string& directory,
                                              const std::string& programFile);

// The bar's text in cp1252, e.g. "37 % – 960 B/s – 2:41 igjen" or "37 % – står stille".
std::string ProgressText(const ProgressView& view);

}  // namespace client
