// Termination requests of the console: Ctrl+C, Ctrl+Break, closing the console window, logoff
// and shutdown. The system calls the handler on a thread of its own.
#include <windows.h>

#include <functional>
#include <mutex>
#include <utility>

#include "Platform.h"

namespace platform {
namespace {

std::mutex watchMutex;
std::function<void()> watcher;
bool requested = false;

BOOL WINAPI OnConsoleEvent(DWORD event) {
  std::function<void()> onRequest;
  {
    std::lock_guard lock(watchMutex);
    if (!watcher) return FALSE;
    if (!requested) onRequest = watcher;
    requested = true;
  }
  if (onRequest) onRequest();
  // For a closing console, logoff or shutdown the system ends the process once the handler
  // returns; holding it gives the program its few seconds to finish on its own.
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
    ::Sleep(INFINITE);
  }
  return TRUE;
}

}  // namespace

void WatchTermination(std::function<void()> onRequest) {
  std::lock_guard lock(watchMutex);
  const bool watching = static_cast<bool>(watcher);
  watcher = std::move(onRequest);
  requested = false;
  if (watcher && !watching) ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  if (!watcher && watching) ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
}

}  // namespace platform
