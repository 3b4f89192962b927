// Failures inside event handlers: shown in the error box, never let through the event loop.
#pragma once

#include <QString>
#include <functional>
#include <string>

namespace client {

class Prompts;

// The text with a full stop appended, unless it ends in "." or a character at or below it.
std::string WithFullStop(const std::string& text);
QString WithFullStop(const QString& text);

// Runs the handler; a failure inside it ends the handler and is shown in the error box.
void RunGuarded(Prompts& prompts, const std::function<void()>& handler);

}  // namespace client
