#include "CommandLine.h"

namespace client {

CommandLine CommandLine::Parse(const std::vector<std::string>& arguments) {
  CommandLine line;
  line.startedByProgram = arguments.size() > 1;
  if (arguments.size() == 1) {
    line.machine = arguments[0];
  } else if (arguments.size() >= 3) {
    line.command = arguments[0];
    line.machine = arguments[1];
    line.file = arguments[2];
  }
  return line;
}

}  // namespace client
