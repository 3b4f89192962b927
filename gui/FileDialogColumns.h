// The file dialog's detail columns in Bokmål whatever the system's locale ("244,1 KiB",
// "09.12.2026 14:27"), each as wide as its contents.
#pragma once

class QFileDialog;

namespace client {

// Call before the dialog is shown.
void ShowColumnsInBokmal(QFileDialog& dialog);

}  // namespace client
