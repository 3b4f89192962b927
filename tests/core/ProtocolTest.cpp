#include "Protocol.h"

#include <gtest/gtest.h>

namespace {

TEST(SplitCommand, WordInCapitalsOfATOZOnlyMachineAndFileAsGiven) {
  const struct {
    const char* name;
    std::string command;
    client::CommandParts parts;
  } rows[] = {
      {"send as the button gives it", "Send;3;P1.NC", {"Send", "SEND", "3", "P1.NC"}},
      {"command line word in small letters", "get;3;p1.nc", {"get", "GET", "3", "p1.nc"}},
      {"accented letters stay as typed", "s\xE6nd;3;P", {"s\xE6nd", "S\xE6ND", "3", "P"}},
      {"missing fields are empty", "Restart;4", {"Restart", "RESTART", "4", ""}},
      {"fields after the third play no part", "Send;3;P1.NC;x", {"Send", "SEND", "3", "P1.NC"}},
      {"empty text", "", {"", "", "", ""}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const client::CommandParts parts = client::SplitCommand(row.command);
    EXPECT_EQ(parts.typedWord, row.parts.typedWord);
    EXPECT_EQ(parts.word, row.parts.word);
    EXPECT_EQ(parts.machine, row.parts.machine);
    EXPECT_EQ(parts.file, row.parts.file);
  }
}

TEST(HasMarker, NeedsItsSemicolonOnBothSides) {
  EXPECT_FALSE(client::HasMarker("SEND;HENT", client::kSendMarker));
  EXPECT_TRUE(client::HasMarker(";SEND;HENT;", client::kHentMarker));
  EXPECT_FALSE(client::HasMarker(";send;", client::kSendMarker)) << "case counts";
}

}  // namespace
