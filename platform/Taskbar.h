// The window's taskbar button as a progress indicator, as Windows shows a transfer under way.
// Elsewhere these calls do nothing.
#pragma once

#include <cstdint>

namespace platform {

enum class TaskbarState {
  None,    // no transfer: the button is plain
  Normal,  // moving, with the percentage done
  Paused,  // stalled
  Error,   // refused
};

// `window` is the native window handle (QWidget::winId()); `percent` counts only for Normal
// and Paused. Never fails: a taskbar that cannot be reached shows nothing.
void ShowTaskbarProgress(std::uintptr_t window, TaskbarState state, int percent);

}  // namespace platform
