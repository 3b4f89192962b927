#include "Processes.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "TempDir.h"

extern char** environ;

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

void Stop(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  if (!WaitForExit(pid, std::chrono::seconds(5))) ::kill(pid, SIGKILL);
}

std::string ReadLineFrom(int fd, std::chrono::milliseconds limit) {
  std::string line;
  const auto deadline = Clock::now() + limit;
  char c = 0;
  while (Clock::now() < deadline) {
    const ssize_t got = ::read(fd, &c, 1);
    if (got == 1 && c == '\n') return line;
    if (got == 1) line += c;
    if (got == 0) return line;
  }
  return line;
}

}  // namespace

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
            const std::string& output) {
  std::vector<std::string> envText = environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string inherited = *entry;
    const std::string name = inherited.substr(0, inherited.find('=') + 1);
    const bool replaced =
        std::any_of(environment.begin(), environment.end(),
                    [&](const std::string& own) { return own.rfind(name, 0) == 0; });
    if (!replaced) envText.push_back(inherited);
  }
  std::vector<std::string> argvText = argv;
  std::vector<char*> args, envp;
  for (auto& a : argvText) args.push_back(a.data());
  for (auto& e : envText) envp.push_back(e.data());
  args.push_back(nullptr);
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO,
                                   output.empty() ? "/dev/null" : output.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  pid_t pid = -1;
  const int failed = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) throw std::runtime_error("cannot start " + argv[0]);
  return pid;
}

std::optional<int> WaitForExit(pid_t pid, std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  for (;;) {
    int status = 0;
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (done < 0) return std::nullopt;
    if (Clock::now() >= deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return std::nullopt;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

Child::~Child() {
  if (pid_ > 0) Stop(pid_);
}

std::optional<int> Child::WaitForExit(std::chrono::milliseconds limit) {
  const auto status = e2e::WaitForExit(pid_, limit);
  pid_ = -1;
  return status;
}

Simulator::Simulator(const std::string& folder, double speed) : log_(folder + "/dnc-sim.log") {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe");
  const std::string out = "/dev/fd/" + std::to_string(pipeFds[1]);
  pid_ = Spawn({DNC_SIM, "--port", "0", "--speed", std::to_string(speed), "--data", folder + "/nc",
                "--log", log_},
               {}, out);
  ::close(pipeFds[1]);
  ::fcntl(pipeFds[0], F_SETFL, O_NONBLOCK);
  const std::string line = [&] {
    std::string text;
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (text.find('\n') == std::string::npos && Clock::now() < deadline) {
      char buffer[256];
      const ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
      if (got > 0)
        text.append(buffer, got);
      else
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return text;
  }();
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

bool PressKeyInWindow(const std::string& display, const std::string& title,
                      const std::string& key) {
  testsupport::TempDir dir;
  const std::string ids = dir / "ids";
  const std::vector<std::string> env = {"DISPLAY=" + display};
  const pid_t search = Spawn(
      {"xdotool", "search", "--sync", "--onlyvisible", "--name", "^" + title + "$"}, env, ids);
  if (WaitForExit(search, std::chrono::seconds(20)) != 0) return false;
  std::ifstream in(ids);
  std::string window;
  std::getline(in, window);
  if (window.empty()) return false;
  // Give the toolkit a moment to finish mapping the dialog before it gets the key.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const pid_t press =
      Spawn({"xdotool", "windowfocus", "--sync", window, "key", "--clearmodifiers", key}, env);
  return WaitForExit(press, std::chrono::seconds(20)) == 0;
}

}  // namespace e2e
