#pragma once

namespace client {

// The caption of the main window and of the program's own message boxes.
inline constexpr const char* kApplicationTitle = "Orvi-Vedo fjernstyring";

}  // namespace client
