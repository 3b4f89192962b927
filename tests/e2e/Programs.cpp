#include "Programs.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "Platform.h"
#include "Processes.h"
#include "TempDir.h"
#include "WaitUntil.h"

extern char** environ;

namespace e2e {
namespace {

using testsupport::Spawn;
using testsupport::Stop;
using testsupport::WaitForExit;

using Clock = std::chrono::steady_clock;

// The first line a started program writes into the pipe, waiting at most `limit` for it.
std::string ReadLineFrom(int fd, std::chrono::milliseconds limit) {
  std::string line;
  const auto deadline = Clock::now() + limit;
  char c = 0;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd entry{fd, POLLIN, 0};
    if (left.count() <= 0 || ::poll(&entry, 1, static_cast<int>(left.count())) <= 0) return line;
    if (::read(fd, &c, 1) != 1 || c == '\n') return line;
    line += c;
  }
}

}  // namespace

Simulator::Simulator(const std::string& folder, double speed) : log_(folder + "/dnc-sim.log") {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe");
  const std::string out = "/dev/fd/" + std::to_string(pipeFds[1]);
  pid_ = Spawn({DNC_SIM, "--port", "0", "--speed", std::to_string(speed), "--data", folder + "/nc",
                "--log", log_},
               {}, out);
  ::close(pipeFds[1]);
  const std::string line = ReadLineFrom(pipeFds[0], std::chrono::seconds(10));
  ::close(pipeFds[0]);
  const auto colon = line.rfind(':');
  if (colon == std::string::npos) throw std::runtime_error("dnc-sim did not start: " + line);
  port_ = std::stoi(line.substr(colon + 1));
}

Simulator::~Simulator() { Stop(pid_); }

std::vector<std::string> Simulator::Requests() const {
  std::vector<std::string> requests;
  std::ifstream in(log_);
  for (std::string line; std::getline(in, line);) {
    const auto open = line.find(" \"");
    const auto close = line.find("\" -> \"");
    if (open != std::string::npos && close != std::string::npos) {
      requests.push_back(line.substr(open + 2, close - open - 2));
    }
  }
  return requests;
}

XServer::XServer() {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe");
  pid_ = Spawn({"Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-nolisten", "tcp", "-screen",
                "0", "1024x768x24"},
               {});
  ::close(pipeFds[1]);
  display_ = ":" + ReadLineFrom(pipeFds[0], std::chrono::seconds(20));
  ::close(pipeFds[0]);
  if (display_ == ":") throw std::runtime_error("Xvfb did not start");
}

XServer::~XServer() { Stop(pid_); }

namespace {

// The visible windows with exactly this title; with `wait`, waits until there is one.
std::vector<std::string> VisibleWindows(const std::string& display, const std::string& title,
                                        bool wait) {
  testsupport::TempDir dir;
  std::vector<std::string> argv = {"xdotool", "search", "--onlyvisible", "--name",
                                   "^" + title + "$"};
  if (wait) argv.insert(argv.begin() + 2, "--sync");
  WaitForExit(Spawn(argv, {"DISPLAY=" + display}, dir / "ids"), std::chrono::seconds(20));
  std::vector<std::string> windows;
  std::ifstream in(dir / "ids");
  for (std::string id; std::getline(in, id);) {
    if (!id.empty()) windows.push_back(id);
  }
  return windows;
}

bool Visible(const std::string& display, const std::string& title, const std::string& window) {
  const auto windows = VisibleWindows(display, title, false);
  return std::find(windows.begin(), windows.end(), window) != windows.end();
}

}  // namespace

void WriteClientSettings(const testsupport::TempDir& dir, const std::string& iniText,
                         const std::string& ini) {
  dir.Write(platform::ToSystemName(ini), iniText);
  const std::string iniPath = platform::FromSystemName(dir.Path()).value() + "/" + ini;
  dir.Write(
      "reg/HKEY_CURRENT_USER.reg",
      "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vedo]\r\n\"INI-Fil\"=\"" + iniPath + "\"\r\n");
}

pid_t StartClient(const testsupport::TempDir& dir, const std::vector<std::string>& arguments,
                  const std::string& display) {
  std::vector<std::string> argv{VEDO_TCP};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<std::string> env{"VEDO_REGISTRY_DIR=" + (dir / "reg"), "HOME=" + (dir / "home"),
                               "XDG_CONFIG_HOME=" + (dir / "home/.config"),
                               "XDG_STATE_HOME=" + (dir / "home/.local/state")};
  if (display.empty()) {
    env.push_back("QT_QPA_PLATFORM=offscreen");
  } else {
    env.push_back("QT_QPA_PLATFORM=xcb");
    env.push_back("DISPLAY=" + display);
  }
  return Spawn(argv, env, dir / "client.log");
}

bool WindowShows(const std::string& display, const std::string& title) {
  return !VisibleWindows(display, title, true).empty();
}

bool PressKeyInWindow(const std::string& display, const std::string& title,
                      const std::string& key) {
  const auto windows = VisibleWindows(display, title, true);
  if (windows.empty()) return false;
  const std::string window = windows.front();
  // A key that comes while the toolkit is still mapping the window can be lost: press again
  // until the window goes, as an operator would.
  for (int attempt = 0; attempt < 5; ++attempt) {
    const pid_t press =
        Spawn({"xdotool", "windowfocus", "--sync", window, "key", "--clearmodifiers", key},
              {"DISPLAY=" + display});
    WaitForExit(press, std::chrono::seconds(20));
    if (testsupport::WaitUntil([&] { return !Visible(display, title, window); },
                               std::chrono::seconds(2))) {
      return true;
    }
  }
  return false;
}

}  // namespace e2e
