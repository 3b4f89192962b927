// The command line as the system gave it, read before the toolkit could take options out of it:
// every argument counts, "-style" and "--" as much as "SEND".
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace client {

// An argument that cp1252 cannot hold: it can name no machine or file of the server's, and a
// changed text would name another.
struct UnnamableArgument {
  int position = 0;   // counted from 1, without the program's name
  std::string typed;  // as the system gave it, for the operator to see what is wrong
};

struct ProgramArguments {
  std::vector<std::string> texts;              // in cp1252, without the program's name
  std::optional<UnnamableArgument> unnamable;  // the first such argument, if any
};

ProgramArguments ReadProgramArguments(int argc, const char* const* argv);

// What the operator is told about such an argument, before the program stops; the argument as
// typed follows it.
std::string UnnamableMessage(const UnnamableArgument& argument);

}  // namespace client
