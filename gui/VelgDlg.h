// The general selection dialog: any ";"-separated list under any caption, one item chosen.
#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "Prompts.h"

namespace Ui {
class SelectForm;
}

namespace client {

class TSelectForm : public QDialog {
  Q_OBJECT

 public:
  explicit TSelectForm(QWidget* parent = nullptr);
  ~TSelectForm() override;

  // Shows the items modally; ok when closed with OK or by a double-click. The selected item's
  // text (empty when none is selected) comes back whatever ok is.
  Choice Choose(const std::string& caption, const std::string& items);

  void ListeDblClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::unique_ptr<Ui::SelectForm> ui;
  bool pickedByDoubleClick_ = false;
};

}  // namespace client
