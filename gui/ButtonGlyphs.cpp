#include "ButtonGlyphs.h"

#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <functional>

#include "Colours.h"

namespace client::glyphs {
namespace {

// Draws on a 16 x 16 grid; the icon holds it at the normal size and at twice that for screens
// with a scale factor.
using Drawing = std::function<void(QPainter&)>;

QIcon Draw(const Drawing& drawing) {
  QIcon icon;
  for (const int scale : {1, 2}) {
    QPixmap pixmap(16 * scale, 16 * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    drawing(painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

QPen Stroke(const QColor& colour, qreal width = 1.0) {
  return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

}  // namespace

QIcon Machine(const QPalette& palette) {
  const QColor ink = palette.color(QPalette::ButtonText);
  return Draw([ink](QPainter& painter) {
    painter.setPen(Stroke(ink));
    painter.setBrush(QColor(0x3d, 0x6f, 0xb6));
    painter.drawRoundedRect(QRectF(1.5, 2.5, 13, 9), 1, 1);
    painter.drawLine(QPointF(8, 11.5), QPointF(8, 13.5));
    painter.drawLine(QPointF(4.5, 14), QPointF(11.5, 14));
  });
}

QIcon Edit(const QPalette& palette) {
  const QColor ink = palette.color(QPalette::ButtonText);
  return Draw([ink](QPainter& painter) {
    painter.setPen(Stroke(ink));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(3.5, 1.5, 9, 13));
    for (const qreal y : {4.5, 7.0, 9.5, 12.0}) painter.drawLine(QPointF(5.5, y), QPointF(10.5, y));
  });
}

QIcon Ok() {
  return Draw([](QPainter& painter) {
    painter.setPen(Stroke(colours::kOk, 2.0));
    painter.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
  });
}

QIcon Cancel() {
  return Draw([](QPainter& painter) {
    painter.setPen(Stroke(colours::kRefused, 2.0));
    painter.drawLine(QPointF(4, 4), QPointF(12, 12));
    painter.drawLine(QPointF(12, 4), QPointF(4, 12));
  });
}

}  // namespace client::glyphs
