#include "FocusRing.h"

#include <QApplication>
#include <QPainter>

namespace client {
namespace {

constexpr int kWidth = 2;  // pixels

}  // namespace

FocusRing::FocusRing(QWidget& window) : QFocusFrame(&window), window_(window) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  hide();  // until a control of the window has the focus
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { Follow(now); });
}

void FocusRing::Follow(QWidget* focused) {
  const bool ours = focused != nullptr && focused != &window_ && window_.isAncestorOf(focused);
  setWidget(ours ? focused : nullptr);
  if (!ours) hide();
}

void FocusRing::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QPen pen(palette().color(QPalette::Active, QPalette::Highlight).darker(130), kWidth);
  pen.setJoinStyle(Qt::MiterJoin);
  painter.setPen(pen);
  painter.drawRect(rect().adjusted(kWidth / 2, kWidth / 2, -kWidth / 2 - 1, -kWidth / 2 - 1));
}

}  // namespace client
