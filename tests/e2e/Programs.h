// The real programs for the end-to-end tests: the simulator on a free port, an X server of
// the test's own, the client, and xdotool to answer its dialogs as an operator would.
#pragma once

#include <sys/types.h>

#include "Processes.h"

#include <chrono>
#include <string>
#include <vector>

namespace e2e {

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
