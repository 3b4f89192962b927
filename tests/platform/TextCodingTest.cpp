#include <gtest/gtest.h>

#include "ArgumentSplit.h"
#include "Cp1252.h"

namespace {

TEST(Cp1252, EveryByteSurvivesTheRoundTripThroughUtf8) {
  for (int byte = 0; byte < 256; ++byte) {
    SCOPED_TRACE(byte);
    const std::string text(1, static_cast<char>(byte));
    EXPECT_EQ(platform::Utf8ToCp1252(platform::Cp1252ToUtf8(text)), text);
    EXPECT_EQ(platform::Utf16LeToCp1252(platform::Cp1252ToUtf16Le(text)), text);
  }
}

TEST(Cp1252, KnownCharactersAndReplacements) {
  const struct {
    const char* name;
    std::string utf8;
    std::string cp1252;
  } rows[] = {
      {"Norwegian letters", "\xC3\xA6\xC3\xB8\xC3\xA5\xC3\x86\xC3\x98\xC3\x85",
       "\xE6\xF8\xE5\xC6\xD8\xC5"},
      {"euro sign", "\xE2\x82\xAC", "\x80"},
      {"curly quotes", "\xE2\x80\x9C\xE2\x80\x9D", "\x93\x94"},
      {"not in the code page", "\xE2\x88\x9E", "?"},
      {"outside the BMP", "\xF0\x9F\x98\x80", "?"},
      {"invalid lead byte",
       "a\xFF"
       "b",
       "a?b"},
      {"overlong slash", "\xC0\xAF", "??"},
      {"cut sequence", "\xE2\x82", "??"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(platform::Utf8ToCp1252(row.utf8), row.cp1252);
  }
}

TEST(ArgumentSplit, ModernRuntimeRules) {
  using Args = std::vector<std::string>;
  const struct {
    const char* text;
    Args expected;
  } rows[] = {
      {"a b  c", {"a", "b", "c"}},
      {"\"a b\" c", {"a b", "c"}},
      {"a\"b c\"d", {"ab cd"}},
      {"a\\\\\\b d\"e f\"g h", {"a\\\\\\b", "de fg", "h"}},
      {"a\\\\\\\"b c d", {"a\\\"b", "c", "d"}},
      {"a\\\\\\\\\"b c\" d e", {"a\\\\b c", "d", "e"}},
      {"\"C:\\My Dir\\\" next", {"C:\\My Dir\" next"}},
      {"\"C:\\My Dir\\\\\" next", {"C:\\My Dir\\", "next"}},
      {"\"\" x \"\"", {"", "x", ""}},
      {"\"unterminated text", {"unterminated text"}},
      {"'a b'", {"'a", "b'"}},
      {"^a %PATH% $(rm -rf x);|&", {"^a", "%PATH%", "$(rm", "-rf", "x);|&"}},
      {"\"\"\"\"", {"\""}},
      {"a\"b\"\" c d", {"ab\" c d"}},
      {"\"a \"\"b\"\" c\"", {"a \"b\" c"}},
      {"\"a\"\"b\" c", {"a\"b", "c"}},
      {"", {}},
      {"  \t ", {}},
      {"tab\tseparated\nline", {"tab", "separated\nline"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(platform::posix::SplitWindowsArguments(row.text), row.expected);
  }
}

// The launch builds a parameter text from arguments; it must split back into the same ones.
TEST(ArgumentJoin, QuotesOnlyWhatNeedsItAndSplitsBack) {
  const struct {
    const char* name;
    std::vector<std::string> arguments;
    std::string expected;
  } rows[] = {
      {"plain words stay bare", {"a", "b"}, "a b"},
      {"empty argument is quoted", {"", "x"}, "\"\" x"},
      {"blank inside", {"C:\\My Dir\\f.nc"}, "\"C:\\My Dir\\f.nc\""},
      {"tab inside", {"a\tb"}, "\"a\tb\""},
      {"quote escaped", {"say \"hi\""}, "\"say \\\"hi\\\"\""},
      {"backslashes before a quote doubled", {"a\\\"b"}, "\"a\\\\\\\"b\""},
      {"backslash before the closing quote doubled", {"dir name\\"}, "\"dir name\\\\\""},
      {"backslashes elsewhere kept", {"a\\\\b"}, "a\\\\b"},
      {"nothing", {}, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string text = platform::posix::JoinWindowsArguments(row.arguments);
    EXPECT_EQ(text, row.expected);
    EXPECT_EQ(platform::posix::SplitWindowsArguments(text), row.arguments);
  }
}

}  // namespace
