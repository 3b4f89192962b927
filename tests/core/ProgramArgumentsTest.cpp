#include "ProgramArguments.h"

#include <gtest/gtest.h>

#include "CommandLine.h"
#include "Platform.h"

namespace {

using Texts = std::vector<std::string>;

client::ProgramArguments Read(std::vector<const char*> argv) {
  argv.insert(argv.begin(), "/opt/vedo/VedoTcp");
  argv.push_back(nullptr);
  return client::ReadProgramArguments(static_cast<int>(argv.size()) - 1, argv.data());
}

// Options of the toolkit are arguments like any other: they count, and keep their place.
TEST(ProgramArguments, EveryArgumentCountsAsGiven) {
  // As the system hands them over: UTF-8 on Linux, the ANSI code page (cp1252) on Windows.
  const std::string machine = platform::ToSystemName("Fr\xE6s \x80");
  const std::string file = platform::ToSystemName("/nc/M\xE6/PR\xD8VE.NC");
  const struct {
    const char* name;
    std::vector<const char*> argv;
    client::CommandLine expected;
  } rows[] = {
      {"none", {}, {"", "", "", false}},
      {"-reverse as the file", {"SEND", "1", "-reverse"}, {"SEND", "1", "-reverse", true}},
      {"-style as the machine", {"SEND", "-style", "P1.NC"}, {"SEND", "-style", "P1.NC", true}},
      {"-style X takes no value away",
       {"SEND", "-style", "X", "P1.NC"},
       {"SEND", "-style", "X", true}},
      {"-platform X as machine and file",
       {"HENT", "-platform", "X"},
       {"HENT", "-platform", "X", true}},
      {"-- as the machine", {"SEND", "--", "P1.NC"}, {"SEND", "--", "P1.NC", true}},
      {"-- as the file", {"SEND", "2", "--"}, {"SEND", "2", "--", true}},
      {"-reverse alone is a machine", {"-reverse"}, {"", "-reverse", "", false}},
      {"two options: started by a program", {"-style", "fusion"}, {"", "", "", true}},
      {"Norwegian letters and euro in cp1252",
       {"SEND", machine.c_str(), file.c_str()},
       {"SEND", "Fr\xE6s \x80", "/nc/M\xE6/PR\xD8VE.NC", true}},
      {"empty argument keeps its place", {"SEND", "", "P1.NC"}, {"SEND", "", "P1.NC", true}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto arguments = Read(row.argv);
    EXPECT_FALSE(arguments.unnamable.has_value());
    const auto line = client::CommandLine::Parse(arguments.texts);
    EXPECT_EQ(line.command, row.expected.command);
    EXPECT_EQ(line.machine, row.expected.machine);
    EXPECT_EQ(line.file, row.expected.file);
    EXPECT_EQ(line.startedByProgram, row.expected.startedByProgram);
  }
}

TEST(ProgramArguments, ArgumentWithoutACp1252FormIsNamedNotChanged) {
#ifdef _WIN32
  // Windows hands a program its arguments already in the ANSI code page, with a character that
  // it lacks replaced; what the operator typed is in the wide command line only.
  GTEST_SKIP() << "on Windows the arguments come converted to cp1252 by the system";
#endif
  const struct {
    const char* name;
    std::vector<const char*> argv;
    int position;
  } rows[] = {
      {"Chinese file name", {"SEND", "1", "\xE6\xBC\xA2\xE5\xAD\x97.NC"}, 3},
      {"emoji in the machine", {"Fres \xF0\x9F\x98\x80"}, 1},
      {"invalid UTF-8", {"SEND", "P\xFF", "x"}, 2},
      {"the first of two is named", {"\xE6\xBC\xA2", "1", "\xE6\xBC\xB3"}, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto arguments = Read(row.argv);
    ASSERT_TRUE(arguments.unnamable.has_value());
    EXPECT_EQ(arguments.unnamable->position, row.position);
    EXPECT_EQ(arguments.unnamable->typed, row.argv[row.position - 1]) << "as typed";
  }
  EXPECT_EQ(client::UnnamableMessage({3, "\xE6\xBC\xA2.NC"}),
            "Argument 3 p\xE5 kommandolinjen har tegn som ikke finnes i Windows-1252: ");
}

}  // namespace
