// Installs notice handlers that record what the module showed, for the length of a test.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "Platform.h"

namespace testsupport {

class NoticeRecorder {
 public:
  explicit NoticeRecorder(bool boxFails = false) {
    platform::SetNoticeHandlers(
        {[this, boxFails](const std::string& caption, const std::string& text) {
           if (boxFails) throw std::runtime_error("no display");
           boxes.push_back(caption + "|" + text);
         },
         [this](const std::string& text) { plain.push_back(text); }});
  }
  ~NoticeRecorder() { platform::SetNoticeHandlers({}); }

  std::vector<std::string> boxes;  // "caption|text"
  std::vector<std::string> plain;
};

}  // namespace testsupport
