// The real programs for the end-to-end tests: the simulator on a free port, an X server of
// the test's own, the client, and xdotool to answer its dialogs as an operator would.
#pragma once

#include <sys/types.h>

#include "Processes.h"

#include <chrono>
#include <string>
#include <vector>

namespace testsupport {
class TempDir;
}

namespace e2e {

// The client's settings inside a test folder: the INI text at `ini`, a name in the folder in
// cp1252 (on disk under its system name), and a registry that names that file.
void WriteClientSettings(const testsupport::TempDir& dir, const std::string& iniText,
                         const std::string& ini = "Vedo.ini");

// The real client with the arguments, its registry, home and state inside the folder and its
// output in "client.log" there; offscreen unless a display is given.
pid_t StartClient(const testsupport::TempDir& dir, const std::vector<std::string>& arguments,
                  const std::string& display = "");

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

// Waits for a visible window with this title; false when none appeared in time.
bool WindowShows(const std::string& display, const std::string& title);

// Waits for a visible window with this title, focuses it and presses the key (xdotool names:
// "Return", "Escape"); false when no such window appeared in time.
bool PressKeyInWindow(const std::string& display, const std::string& title, const std::string& key);

}  // namespace e2e
