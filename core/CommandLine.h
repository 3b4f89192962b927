// What the command line asks for: the machine alone, or a command, a machine and a file.
#pragma once

#include <string>
#include <vector>

namespace client {

struct CommandLine {
  std::string command;  // empty: no command to carry out
  std::string machine;  // empty: none given
  std::string file;
  // More than one argument: started by another program, which stays on top, has no edit
  // button and may close itself.
  bool startedByProgram = false;

  // The arguments without the program name, in cp1252.
  static CommandLine Parse(const std::vector<std::string>& arguments);
};

}  // namespace client
