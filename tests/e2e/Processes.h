// The real programs for the end-to-end tests: the simulator on a free port, an X server of
// the test's own, the client, and xdotool to answer its dialogs as an operator would.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// Starts a program with environment entries of its own (replacing inherited ones of the same
// name); its standard output and error go to `output` when given, else to /dev/null.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
            const std::string& output = "");
// The exit status, or nothing when it did not end in time (it is then killed).
std::optional<int> WaitForExit(pid_t pid, std::chrono::milliseconds limit);

// A started program that is ended with its owner, so that a failed test leaves none behind.
class Child {
 public:
  explicit Child(pid_t pid) : pid_(pid) {}
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  std::optional<int> WaitForExit(std::chrono::milliseconds limit);

 private:
  pid_t pid_;
};

class Simulator {
 public:
  // dnc-sim on a free loopback port, transfers `speed` times as fast, its log in `log`.
  Simulator(const std::string& folder, double speed);
  ~Simulator();
  int Port() const { return port_; }
  // The requests the simulator answered, in order.
  std::vector<std::string> Requests() const;

 private:
  pid_t pid_ = -1;
  int port_ = 0;
  std::string log_;
};

class XServer {
 public:
  XServer();
  ~XServer();
  const std::string& Display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

// Waits for a visible window with this title, focuses it and presses the key (xdotool names:
// "Return", "Escape"); false when no such window appeared in time.
bool PressKeyInWindow(const std::string& display, const std::string& title, const std::string& key);

}  // namespace e2e
