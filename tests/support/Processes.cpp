#include "Processes.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>
#include <thread>

#include "TempDir.h"

extern char** environ;

namespace testsupport {

using Clock = std::chrono::steady_clock;

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

void Stop(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  if (!WaitForExit(pid, std::chrono::seconds(5))) ::kill(pid, SIGKILL);
}

std::optional<int> Child::WaitForExit(std::chrono::milliseconds limit) {
  const auto status = testsupport::WaitForExit(pid_, limit);
  pid_ = -1;
  return status;
}

RunResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const std::vector<std::string>& environment) {
  TempDir dir;
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  RunResult result;
  const auto status =
      WaitForExit(Spawn(argv, environment, dir / "output"), std::chrono::minutes(1));
  result.status = status.value_or(-1);
  result.output = ReadFile(dir / "output");
  return result;
}

}  // namespace testsupport
