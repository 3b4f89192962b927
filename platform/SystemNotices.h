// For the backends only: how a notice is shown when the program has installed no handlers.
#pragma once

#include <string>

namespace platform::backend {

void SystemNoticeBox(const std::string& caption, const std::string& text);
void SystemPlainMessage(const std::string& text);

}  // namespace platform::backend
