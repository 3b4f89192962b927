#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <shobjidl.h>

#include "Taskbar.h"

namespace platform {
namespace {

TBPFLAG FlagOf(TaskbarState state) {
  switch (state) {
    case TaskbarState::Normal:
      return TBPF_NORMAL;
    case TaskbarState::Paused:
      return TBPF_PAUSED;
    case TaskbarState::Error:
      return TBPF_ERROR;
    case TaskbarState::None:
      break;
  }
  return TBPF_NOPROGRESS;
}

// COM on the calling thread for the length of one call. The window's thread is a
// single-threaded apartment (the toolkit's windows plugin makes it one); a thread already in
// another apartment keeps it, and the taskbar is still reachable from there.
class ComScope {
 public:
  ComScope() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    // S_OK and S_FALSE both count a use that must be balanced; RPC_E_CHANGED_MODE does not.
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT result_;
};

}  // namespace

void ShowTaskbarProgress(std::uintptr_t window, TaskbarState state, int percent) {
  const HWND handle = reinterpret_cast<HWND>(window);
  if (handle == nullptr) return;
  ComScope com;
  ITaskbarList3* taskbar = nullptr;
  // Without a shell (a service, a bare desktop) there is no taskbar, and no button to show.
  if (FAILED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                reinterpret_cast<void**>(&taskbar)))) {
    return;
  }
  // Until the shell has made the window's button these calls fail; the next one tries again.
  if (SUCCEEDED(taskbar->HrInit())) {
    // The state first: a value set while the button shows no progress would make it Normal.
    taskbar->SetProgressState(handle, FlagOf(state));
    if (state == TaskbarState::Normal || state == TaskbarState::Paused) {
      const int bounded = percent < 0 ? 0 : (percent > 100 ? 100 : percent);
      taskbar->SetProgressValue(handle, static_cast<ULONGLONG>(bounded), 100);
    }
  }
  taskbar->Release();
}

}  // namespace platform
