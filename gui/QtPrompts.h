// The operator dialogs as Qt dialogs: message boxes, the file dialog and the selection dialog.
#pragma once

#include "Prompts.h"

class QWidget;

namespace client {

class TSelectForm;

class QtPrompts : public Prompts {
 public:
  // The owner of the warning boxes, and the selection dialog, are given when they exist.
  void SetOwner(QWidget* owner) { owner_ = owner; }
  void SetSelectForm(TSelectForm* selectForm) { selectForm_ = selectForm; }

  void Message(const std::string& text) override;
  void Warning(const std::string& caption, const std::string& text) override;
  void Error(const std::string& text) override;
  void Notice(const std::string& caption, const std::string& text) override;
  std::optional<FilePick> PickFile(const FileRequest& request) override;
  Choice Choose(const std::string& caption, const std::string& items) override;

 private:
  QWidget* owner_ = nullptr;
  TSelectForm* selectForm_ = nullptr;
};

}  // namespace client
