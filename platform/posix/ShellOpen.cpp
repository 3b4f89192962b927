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
  std::vector<std::string> arguments = posix::SplitWindowsArguments(parameters);
  arguments.insert(arguments.begin(), file);
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!workingDirectory.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
  }
  pid_t pid = 0;
  const bool searchPath = file.find('/') == std::string::npos;
  const int failed = searchPath
                         ? posix_spawnp(&pid, file.c_str(), &actions, nullptr, argv.data(), environ)
                         : posix_spawn(&pid, file.c_str(), &actions, nullptr, argv.data(), environ);
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
