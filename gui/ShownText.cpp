#include "ShownText.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>

namespace client {
namespace {

// The room left for a group box's caption between its frame's corners.
constexpr int kTitleMargin = 24;

}  // namespace

QString OnOneLine(QString text) {
  for (QChar& c : text) {
    if (c.category() == QChar::Other_Control) c = QLatin1Char(' ');
  }
  return text;
}

void ShowElided(QLabel& label, const QString& text, Qt::TextElideMode mode) {
  label.setText(label.fontMetrics().elidedText(text, mode, label.width()));
  label.setToolTip(text);
}

void ShowElidedTitle(QGroupBox& box, const QString& text) {
  const QString shown =
      box.fontMetrics().elidedText(text, Qt::ElideRight, box.width() - kTitleMargin);
  box.setTitle(QString(shown).replace('&', "&&"));
  box.setToolTip(text);
}

}  // namespace client
