#include <windows.h>

#include <stdexcept>
#include <string>
#include <utility>

#include "Platform.h"

namespace platform {
namespace {

NoticeHandlers& Installed() {
  static NoticeHandlers handlers;
  return handlers;
}

}  // namespace

void SetNoticeHandlers(NoticeHandlers handlers) { Installed() = std::move(handlers); }

// Without handlers, the box of the system: one OK, foreground, modal to the program.
void ShowNoticeBox(const std::string& caption, const std::string& text) {
  if (Installed().box) {
    Installed().box(caption, text);
    return;
  }
  if (::MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_SETFOREGROUND | MB_TASKMODAL) == 0) {
    throw std::runtime_error("MessageBoxA failed: error " + std::to_string(::GetLastError()));
  }
}

void ShowPlainMessage(const std::string& text) {
  if (Installed().plain) {
    Installed().plain(text);
    return;
  }
  if (::MessageBoxA(nullptr, text.c_str(), "", MB_OK | MB_TASKMODAL) == 0) {
    throw std::runtime_error("MessageBoxA failed: error " + std::to_string(::GetLastError()));
  }
}

}  // namespace platform
