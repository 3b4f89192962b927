#include "Taskbar.h"

namespace platform {

// The desktops of Linux have no common taskbar progress; the window's own progress row says it.
void ShowTaskbarProgress(std::uintptr_t, TaskbarState, int) {}

}  // namespace platform
