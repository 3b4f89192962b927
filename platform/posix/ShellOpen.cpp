#include <spawn.h>
#include <sys/wait.h>

#include <thread>
#include <vector>

#include "ArgumentSplit.h"
#include "Platform.h"

extern char** environ;

namespace platform {

// The file is started directly, never through a shell, so that nothing in a file name or a
// parameter can run a command. A name without "/" is looked up in PATH, as Windows does.
bool ShellOpen(const std::string& file, const std::string& parameters,
               const std::string& workingDirectory, int /*showCode*/) {
  if (file.empty()) return false;
  // Split by the Windows rules on the cp1252 text, then each argument in the system's form.
  std::vector<std::string> arguments = posix::SplitWindowsArguments(parameters);
  arguments.insert(arguments.begin(), file);
  for (auto& argument : arguments) argument = ToSystemName(argument);
  const std::string& program = arguments.front();
  const std::string directory = ToSystemName(workingDirectory);
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!directory.empty()) posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
  pid_t pid = 0;
  const bool searchPath = program.find('/') == std::string::npos;
  const int failed =
      searchPath ? posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ)
                 : posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) return false;
  // Not waited for by the caller; a watcher reaps the child when it ends, so none is left behind.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

}  // namespace platform
