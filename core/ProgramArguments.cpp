#include "ProgramArguments.h"

#include "Cp1252.h"
#include "Platform.h"

namespace client {

ProgramArguments ReadProgramArguments(int argc, const char* const* argv) {
  ProgramArguments arguments;
  for (int i = 1; i < argc; ++i) {
    const auto text = platform::FromSystemName(argv[i]);
    if (!text && !arguments.unnamable) {
      arguments.unnamable = UnnamableArgument{i, argv[i]};
    }
    arguments.texts.push_back(text.value_or(std::string()));
  }
  return arguments;
}

std::string UnnamableMessage(const UnnamableArgument& argument) {
  return "Argument " + std::to_string(argument.position) +
         " p\xE5 kommandolinjen har tegn som ikke finnes i Windows-1252: ";
}

}  // namespace client
