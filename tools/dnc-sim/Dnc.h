// The DNC server's answers to the line protocol, and the transfers it simulates. Safe to call
// from several connections at once.
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "Machines.h"

namespace dncsim {

class Dnc {
 public:
  using Clock = std::chrono::steady_clock;

  // `speed` divides every duration: 10 runs transfers ten times as fast.
  Dnc(std::vector<Machine> machines, double speed,
      std::function<Clock::time_point()> now = Clock::now);

  // The reply line (without CR LF) to one request line; both in cp1252.
  std::string Answer(const std::string& request);

  // Halts every transfer where it stands, or lets them go on from there: the byte counts stop
  // and the status stays, as on a line that has stopped moving. Transfers begun meanwhile wait
  // too. Returns whether transfers are now halted.
  bool TogglePause();

 private:
  enum class Activity { Idle, Sending, Fetching, Restarting };
  struct State {
    Activity activity = Activity::Idle;
    std::string file;  // current program file
    std::string status = "Klar";
    std::string message;
    long bytes = 0;
    long totalBytes = 0;
    std::string result;
    bool done = false;
    Clock::time_point started;
    Clock::duration duration{};
  };

  Machine* Find(const std::string& designation);
  void Advance(const Machine& machine, State& state);
  std::string StartTransfer(const Machine& machine, State& state, Activity activity,
                            const std::string& file);
  std::string Delete(const Machine& machine, const std::string& file);
  std::string Path(const Machine& machine, const std::string& file) const;
  Clock::duration LineTime(const Machine& machine, long bytes) const;

  std::mutex mutex_;
  std::vector<Machine> machines_;
  std::vector<State> states_;
  bool paused_ = false;
  Clock::time_point pausedAt_;
  double speed_;
  std::function<Clock::time_point()> now_;
};

}  // namespace dncsim
