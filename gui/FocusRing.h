// A clear ring around the control that has the keyboard focus, from the start and in every
// style: the operator at the machine sees which button Return or Space will press.
#pragma once

#include <QFocusFrame>

namespace client {

class FocusRing : public QFocusFrame {
  Q_OBJECT

 public:
  // Follows the focus among the children of `window`.
  explicit FocusRing(QWidget& window);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Follow(QWidget* focused);

  QWidget& window_;
};

}  // namespace client
