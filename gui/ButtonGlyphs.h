// The pictures on the window's buttons, drawn here instead of read from image files: the first
// image file read makes the toolkit load every image format it has, a cost that would fall on
// the window's start.
#pragma once

#include <QIcon>

class QPalette;

namespace client::glyphs {

// A screen on its stand: the machine button.
QIcon Machine(const QPalette& palette);
// A sheet with lines of text: the edit button.
QIcon Edit(const QPalette& palette);
// A tick: the buttons that accept.
QIcon Ok();
// A cross: the buttons that quit or cancel.
QIcon Cancel();

}  // namespace client::glyphs
