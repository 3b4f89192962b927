#include "Colours.h"

#include <QPalette>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace client::colours {
namespace {

double Luminance(const QColor& colour) {
  const auto linear = [](double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
         0.0722 * linear(colour.blueF());
}

}  // namespace

double Contrast(const QColor& a, const QColor& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

namespace {

// An invalid colour gives the role back the colour of the widget's parent.
void Paint(QWidget& widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget.palette();
  const QWidget* parent = widget.parentWidget();
  const QColor shown =
      colour.isValid()
          ? colour
          : (parent != nullptr ? parent->palette() : QPalette()).color(QPalette::Active, role);
  for (const auto group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, role, shown);
  }
  widget.setPalette(palette);
}

}  // namespace

void PaintText(QWidget& widget, const QColor& colour) {
  // On the window's button-face background a label would draw in ButtonText.
  widget.setForegroundRole(QPalette::WindowText);
  Paint(widget, QPalette::WindowText, colour);
}

void PaintTitle(QWidget& box, const QColor& colour) { Paint(box, QPalette::Text, colour); }

void ReadableDisabledText(QWidget& widget) {
  QPalette palette = widget.palette();
  for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
    palette.setColor(QPalette::Disabled, role, kDisabled);
  }
  widget.setPalette(palette);
}

}  // namespace client::colours
