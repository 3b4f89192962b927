#include <random>

#include <gtest/gtest.h>

#include "ModuleState.h"
#include "NoticeRecorder.h"
#include "TempDir.h"
#include "Util.h"

namespace {

using testsupport::NoticeRecorder;

struct DecodeRow {
  const char* name;
  std::string text;
  std::string decoded;
  bool notice;
};

TEST(DecodeVisual, TokensNamesNumbersAndBadTokens) {
  const DecodeRow rows[] = {
      {"names", "[CR][LF]", "\r\n", false},
      {"lower-case names", "[cr][lf]", "\r\n", false},
      {"mixed-case names", "[Cr][Lf]", "\r\n", false},
      {"decimal", "[13]", "\r", false},
      {"dollar hex", "[$0D]", "\r", false},
      {"x hex", "[x0d]", "\r", false},
      {"0x hex", "[0x0D]", "\r", false},
      {"spaces before digits", "[ 13]", "\r", false},
      {"space after digits", "a[13 ]b", "ab", true},
      {"reserved characters", "[91]abc[93]", "[abc]", false},
      {"out of range", "x[256]y", "xy", true},
      {"negative", "x[-1]y", "xy", true},
      {"unknown name", "x[NOPE]y", "xy", true},
      {"no bracket within the window", "[ABCDE[CR]", "ABCDE\r", true},
      {"window holds the first bracket", "[A[CR]", "", true},
      {"long text in brackets", "[ABCDEFG]", "ABCDEFG]", true},
      {"empty token alone is too short", "[]", "[]", false},
      {"empty token", "a[]", "a", true},
      {"no bracket", "abc", "abc", false},
      {"lone closing bracket", "x]y", "x]y", false},
      {"short text", "[x", "[x", false},
      {"code 0", "a[NUL]b", std::string("a\0b", 3), false},
      {"highest code", "[255]", "\xFF", false},
      {"bracket at the end", "abc[", "abc", true},
      {"XOFF", "[xoff][XON]", "\x13\x11", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    NoticeRecorder notices;
    std::string text = row.text;
    util::DecodeVisual(text);
    EXPECT_EQ(text, row.decoded);
    if (row.notice) {
      ASSERT_EQ(notices.boxes.size(), 1u) << "one notice however many bad tokens";
      EXPECT_EQ(notices.boxes[0], "Feil med visuell string|" + row.text);
    } else {
      EXPECT_TRUE(notices.boxes.empty());
    }
  }
}

TEST(VisualChar, VisibleForms) {
  const std::pair<int, std::string> rows[] = {
      {' ', " "},    {'A', "A"},    {'~', "~"},     {'!', "[33]"},  {'#', "[35]"}, {'@', "[64]"},
      {'[', "[91]"}, {']', "[93]"}, {127, "[127]"}, {200, "[200]"}, {9, "[TAB]"},  {19, "[XOFF]"},
      {17, "[XON]"}, {0, "[NUL]"},  {31, "[US]"},   {255, "[255]"}, {'"', "\""},
  };
  for (const auto& [code, form] : rows) {
    SCOPED_TRACE(code);
    EXPECT_EQ(util::VisualChar(static_cast<unsigned char>(code)), form);
  }
}

TEST(ParseVisualToken, CaseMattersForNames) {
  unsigned char c = 0;
  EXPECT_TRUE(util::ParseVisualToken("[XOFF]", c));
  EXPECT_EQ(c, 19);
  EXPECT_FALSE(util::ParseVisualToken("[xoff]", c));
  EXPECT_TRUE(util::ParseVisualToken("[65]", c));
  EXPECT_EQ(c, 'A');
  EXPECT_FALSE(util::ParseVisualToken("[]", c));
  EXPECT_FALSE(util::ParseVisualToken("[DEL]", c)) << "127 has no name";
}

TEST(VisualString, DecodingTheVisibleFormsGivesEverySequenceBack) {
  NoticeRecorder notices;
  std::mt19937 random(20261209);
  std::uniform_int_distribution<int> byte(0, 255), length(0, 40);
  for (int round = 0; round < 2000; ++round) {
    std::string original, visible;
    for (int i = length(random); i > 0; --i) {
      const auto c = static_cast<unsigned char>(byte(random));
      original += static_cast<char>(c);
      visible += util::VisualChar(c);
    }
    std::string decoded = visible;
    util::DecodeVisual(decoded);
    ASSERT_EQ(decoded, original) << "visible form: " << visible;
  }
  EXPECT_TRUE(notices.boxes.empty());
}

TEST(VisualString, ReadersDecodeOnRequestOnly) {
  testsupport::TempDir dir;
  util::detail::State().iniFile =
      dir.Write("v.ini", "[S]\r\nEnd=[CR][LF]\r\nName=[ESC]abc\r\nBad=[NOPE]x\r\n");
  NoticeRecorder notices;
  EXPECT_EQ(util::ReadIni("S", "End", ""), "[CR][LF]");
  EXPECT_EQ(util::ReadIni("S", "End", "", true), "\r\n");
  EXPECT_EQ(util::ReadIni("S", "Missing", "[ESC]", true), "\x1B") << "the default decoded too";
  EXPECT_EQ(util::ReadIniUpper("S", "Name", "", true),
            "\x1B"
            "ABC");
  EXPECT_EQ(util::ReadIniUpper("S", "Missing", "[lf]x", true), "\nX");
  EXPECT_TRUE(notices.boxes.empty());
  EXPECT_EQ(util::ReadIni("S", "Bad", "", true), "x");
  EXPECT_EQ(notices.boxes.size(), 1u);
  util::StopModule();
}

}  // namespace
