// The operator dialogs for tests: records each one shown ("Message: text", "Warning: caption |
// text", "Error: text", "Notice: caption | text", "PickFile: directory | name | filter",
// "Choose: caption | items") and answers from the script given beforehand.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Prompts.h"

namespace testsupport {

class FakePrompts : public client::Prompts {
 public:
  std::vector<std::string> shown;
  std::deque<std::optional<client::FilePick>> fileAnswers;  // none left: cancel
  std::deque<client::Choice> choiceAnswers;                 // none left: cancel
  // Runs while a dialog is open, as the operator reads it (the event loop keeps running).
  std::function<void()> whileOpen;

  void Message(const std::string& text) override { Show("Message: " + text); }
  void Warning(const std::string& caption, const std::string& text) override {
    Show("Warning: " + caption + " | " + text);
  }
  void Error(const std::string& text) override { Show("Error: " + text); }
  void Notice(const std::string& caption, const std::string& text) override {
    Show("Notice: " + caption + " | " + text);
  }
  std::optional<client::FilePick> PickFile(const client::FileRequest& request) override {
    Show("PickFile: " + request.directory + " | " + request.fileName + " | " +
         std::to_string(request.filterIndex));
    if (fileAnswers.empty()) return std::nullopt;
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
  }
  client::Choice Choose(const std::string& caption, const std::string& items) override {
    Show("Choose: " + caption + " | " + items);
    if (choiceAnswers.empty()) return {};
    auto answer = choiceAnswers.front();
    choiceAnswers.pop_front();
    return answer;
  }

 private:
  void Show(const std::string& what) {
    shown.push_back(what);
    if (whileOpen) whileOpen();
  }
};

}  // namespace testsupport
