#include "CommandLine.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, ArgumentCountDecides) {
  using client::CommandLine;
  const struct {
    const char* name;
    std::vector<std::string> arguments;
    CommandLine expected;
  } rows[] = {
      {"none", {}, {"", "", "", false}},
      {"machine alone", {"7"}, {"", "7", "", false}},
      {"two: started by a program, no machine", {"SEND", "4"}, {"", "", "", true}},
      {"three", {"SEND", "4", "P100.NC"}, {"SEND", "4", "P100.NC", true}},
      {"more are ignored", {"get", "Fres 2", "P1.NC", "x", "y"}, {"get", "Fres 2", "P1.NC", true}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const CommandLine line = CommandLine::Parse(row.arguments);
    EXPECT_EQ(line.command, row.expected.command);
    EXPECT_EQ(line.machine, row.expected.machine);
    EXPECT_EQ(line.file, row.expected.file);
    EXPECT_EQ(line.startedByProgram, row.expected.startedByProgram);
  }
}

}  // namespace
