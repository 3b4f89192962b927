// The window's few colours, each readable (contrast at least 4.5:1) on the window's background,
// and the means to give a label one of them.
#pragma once

#include <QColor>

class QWidget;

namespace client::colours {

inline const QColor kOk{0x1a, 0x6b, 0x1f};        // "OK", a transfer done
inline const QColor kRefused{0xb0, 0x00, 0x20};   // a refusal, no contact, no answer
inline const QColor kStalled{0x8a, 0x4b, 0x00};   // a transfer that stands still
inline const QColor kQuiet{0x55, 0x55, 0x55};     // the target at rest
inline const QColor kDisabled{0x66, 0x66, 0x66};  // the text of disabled controls

// The contrast ratio of two colours as WCAG defines it, 1 to 21.
double Contrast(const QColor& a, const QColor& b);

// Gives the widget's text that colour; an invalid colour gives it back its parent's.
void PaintText(QWidget& widget, const QColor& colour);

// The same for a group box's caption, which the styles draw in the Text role.
void PaintTitle(QWidget& box, const QColor& colour);

// Disabled text in `kDisabled` for the widget and its children.
void ReadableDisabledText(QWidget& widget);

}  // namespace client::colours
