#include "Guard.h"

#include <exception>

#include "CallRunner.h"
#include "Prompts.h"

namespace client {

namespace {

// The rule for both kinds of text, by the code of the last character.
bool WantsFullStop(unsigned last) { return last > '.'; }

}  // namespace

std::string WithFullStop(const std::string& text) {
  if (!text.empty() && WantsFullStop(static_cast<unsigned char>(text.back()))) return text + ".";
  return text;
}

QString WithFullStop(const QString& text) {
  if (!text.isEmpty() && WantsFullStop(text.back().unicode())) return text + ".";
  return text;
}

void RunGuarded(Prompts& prompts, const std::function<void()>& handler) {
  try {
    handler();
  } catch (const CallCancelled&) {
    // The window closed during the call: the handler simply ends.
  } catch (const std::exception& failure) {
    prompts.Error(WithFullStop(std::string(failure.what())));
  } catch (...) {
    prompts.Error("Ukjent feil.");
  }
}

}  // namespace client
