#include <utility>

#include "Platform.h"
#include "SystemNotices.h"

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
  } else {
    backend::SystemNoticeBox(caption, text);
  }
}

void ShowPlainMessage(const std::string& text) {
  if (Installed().plain) {
    Installed().plain(text);
  } else {
    backend::SystemPlainMessage(text);
  }
}

}  // namespace platform
