#include <windows.h>

#include <stdexcept>
#include <string>

#include "SystemNotices.h"

namespace platform::backend {
namespace {

void Show(const std::string& caption, const std::string& text, UINT style) {
  if (::MessageBoxA(nullptr, text.c_str(), caption.c_str(), style) == 0) {
    throw std::runtime_error("MessageBoxA failed: error " + std::to_string(::GetLastError()));
  }
}

}  // namespace

// The box of the system: one OK, foreground, modal to the program.
void SystemNoticeBox(const std::string& caption, const std::string& text) {
  Show(caption, text, MB_SETFOREGROUND | MB_TASKMODAL);
}

void SystemPlainMessage(const std::string& text) { Show("", text, MB_OK | MB_TASKMODAL); }

}  // namespace platform::backend
