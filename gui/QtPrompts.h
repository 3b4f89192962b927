// The operator dialogs as Qt dialogs: message boxes, the file dialog and the selection dialog.
#pragma once

#include <QString>

#include "Prompts.h"

class QWidget;

namespace client {

class TSelectForm;

class QtPrompts : public Prompts {
 public:
  // The owner of the warning boxes, and the selection dialog, are given when they exist.
  // `inSight`, a part of the owner, stays uncovered by the boxes where the screen has room.
  void SetOwner(QWidget* owner, const QWidget* inSight = nullptr) {
    owner_ = owner;
    inSight_ = inSight;
  }
  void SetSelectForm(TSelectForm* selectForm) { selectForm_ = selectForm; }

  void Message(const std::string& text) override;
  void Warning(const std::string& caption, const std::string& text) override;
  void Error(const std::string& text) override;
  // The same box for a text that holds what cp1252 cannot: a name as the system gave it.
  void Error(const QString& text);
  void Notice(const std::string& caption, const std::string& text) override;
  std::optional<FilePick> PickFile(const FileRequest& request) override;
  Choice Choose(const std::string& caption, const std::string& items) override;

 private:
  QWidget* owner_ = nullptr;
  const QWidget* inSight_ = nullptr;
  TSelectForm* selectForm_ = nullptr;
};

}  // namespace client
