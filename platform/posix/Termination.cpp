// SIGTERM and SIGINT become a call on a watcher thread: the handler only writes to a pipe,
// which is all a signal handler may safely do.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <mutex>
#include <thread>

#include "Platform.h"

namespace platform {
namespace {

int wakeRead = -1;
int wakeWrite = -1;

void OnSignal(int) {
  const char byte = 't';
  (void)::write(wakeWrite, &byte, 1);
}

struct Watch {
  std::mutex mutex;
  std::function<void()> onRequest;
  bool fired = false;
};

Watch& TheWatch() {
  static auto* watch = new Watch;  // the watcher thread may outlive main's locals
  return *watch;
}

void StartWatcher() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return;
  wakeRead = fds[0];
  wakeWrite = fds[1];
  std::thread([] {
    char byte = 0;
    while (::read(wakeRead, &byte, 1) != 1) {
    }
    Watch& watch = TheWatch();
    std::function<void()> call;
    {
      std::lock_guard lock(watch.mutex);
      if (watch.fired) return;
      watch.fired = true;
      call = watch.onRequest;
    }
    if (call) call();
  }).detach();
}

// Without a watch the signals end the program as they do by default.
void HandleSignals(bool watched) {
  struct sigaction action {};
  action.sa_handler = watched ? OnSignal : SIG_DFL;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
}

}  // namespace

void WatchTermination(std::function<void()> onRequest) {
  static std::once_flag started;
  const bool watched = static_cast<bool>(onRequest);
  if (watched) std::call_once(started, StartWatcher);
  {
    Watch& watch = TheWatch();
    std::lock_guard lock(watch.mutex);
    watch.onRequest = std::move(onRequest);
  }
  HandleSignals(watched && wakeWrite >= 0);
}

}  // namespace platform
