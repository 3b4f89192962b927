#include <iostream>
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

void ShowNoticeBox(const std::string& caption, const std::string& text) {
  if (Installed().box) {
    Installed().box(caption, text);
    return;
  }
  std::cerr << caption << ": " << text << std::endl;
}

void ShowPlainMessage(const std::string& text) {
  if (Installed().plain) {
    Installed().plain(text);
    return;
  }
  std::cerr << text << std::endl;
}

}  // namespace platform
