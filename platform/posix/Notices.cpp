// Without a window system of its own, the backend writes notices to standard error.
#include <iostream>

#include "SystemNotices.h"

namespace platform::backend {

void SystemNoticeBox(const std::string& caption, const std::string& text) {
  std::cerr << caption << ": " << text << std::endl;
}

void SystemPlainMessage(const std::string& text) { std::cerr << text << std::endl; }

}  // namespace platform::backend
