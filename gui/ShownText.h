// Texts of the server as the window shows them: on one line, cut with "…" where the control
// ends (the whole text as tooltip).
#pragma once

#include <QString>

class QLabel;
class QGroupBox;

namespace client {

// Control characters (a line feed inside a status field) shown as a space.
QString OnOneLine(QString text);

// The text cut to the label's width, on the side given (paths on the left, so that the file
// name stays); the whole text as tooltip.
void ShowElided(QLabel& label, const QString& text, Qt::TextElideMode mode = Qt::ElideRight);

// The same for a group box's caption, kept literal ("&" is no mnemonic).
void ShowElidedTitle(QGroupBox& box, const QString& text);

}  // namespace client
