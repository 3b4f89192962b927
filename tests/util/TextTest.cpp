#include <algorithm>
#include <clocale>
#include <cwctype>

#include <gtest/gtest.h>

#include "Cp1252.h"
#include "Platform.h"
#include "Util.h"

namespace {

struct IntRow {
  const char* name;
  std::string text;
  bool converts;
  int32_t value;
};

TEST(IntegerRule, DecimalAndHexForms) {
  const IntRow rows[] = {
      {"plain", "12", true, 12},
      {"leading spaces skipped", "   12", true, 12},
      {"plus sign", "+7", true, 7},
      {"minus sign", "-5", true, -5},
      {"zero", "0", true, 0},
      {"leading zeros", "007", true, 7},
      {"largest", "2147483647", true, 2147483647},
      {"smallest", "-2147483648", true, INT32_MIN},
      {"one beyond largest", "2147483648", false, 0},
      {"one beyond smallest", "-2147483649", false, 0},
      {"far beyond", "99999999999999999999", false, 0},
      {"dollar hex", "$10", true, 16},
      {"x hex", "x1f", true, 31},
      {"X hex", "X1F", true, 31},
      {"0x hex", "0x1F", true, 31},
      {"0X hex", "0X1f", true, 31},
      {"hex pattern all ones", "$FFFFFFFF", true, -1},
      {"hex pattern sign bit", "$80000000", true, INT32_MIN},
      {"nine digits with leading zero", "$000000010", true, 16},
      {"nine significant digits", "$100000000", false, 0},
      {"minus before hex", "-$1", true, -1},
      {"minus before 0x", "-0x10", true, -16},
      {"hex prefix alone", "$", false, 0},
      {"0x alone", "0x", false, 0},
      {"bad hex digit", "$1G", false, 0},
      {"empty", "", false, 0},
      {"spaces only", "   ", false, 0},
      {"sign alone", "-", false, 0},
      {"sign then blank fails", "- 5", false, 0},
      {"trailing blank fails", "12 ", false, 0},
      {"trailing letter fails", "12a", false, 0},
      {"tab is not skipped", "\t12", false, 0},
      {"two signs", "--1", false, 0},
      {"decimal point", "1.5", false, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    int32_t value = 12345;
    EXPECT_EQ(util::TryTextToInt(row.text, value), row.converts);
    if (row.converts) {
      EXPECT_EQ(value, row.value);
    }
  }
}

TEST(UpperText, WholeCodePageAgainstUnicodeCaseMapping) {
  // Windows runtimes have no "C.UTF-8"; any locale but "C" maps all of Unicode there.
  ASSERT_TRUE(std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr ||
              std::setlocale(LC_CTYPE, "English_United States.1252") != nullptr);
  for (int byte = 0; byte < 256; ++byte) {
    SCOPED_TRACE(byte);
    const auto c = static_cast<unsigned char>(byte);
    const char32_t cp = platform::Cp1252ToCodePoint(c);
    const auto upper = static_cast<char32_t>(std::towupper(static_cast<wint_t>(cp)));
    // A capital that the code page cannot hold (µ, ß) leaves the letter as it is.
    char expected = platform::CodePointToCp1252(upper);
    if (expected == '?' && upper != U'?') expected = static_cast<char>(c);
    EXPECT_EQ(util::UpperText(std::string(1, static_cast<char>(c))), std::string(1, expected));
  }
  EXPECT_EQ(util::UpperText("\xE6\xF8\xE5 abc \xF7"), "\xC6\xD8\xC5 ABC \xF7");
}

TEST(ExtPos, PositionOfTheExtensionDot) {
  const struct {
    std::string name;
    int expected;
  } rows[] = {
      {"prog.exe", 5},   {"a.b.c", 4}, {"name.", 5}, {".ini", 1},
      {"dir.d/name", 0}, {"name", 0},  {"", 0},      {"/usr/lib/x.so", 11},
  };
  // The separator is the system's: "\\" on Windows.
  for (auto row : rows) {
    std::replace(row.name.begin(), row.name.end(), '/', platform::kPathSeparator);
    SCOPED_TRACE(row.name);
    EXPECT_EQ(util::ExtPos(row.name), row.expected);
  }
}

TEST(SplitFirst, FieldsAndTheRest) {
  const struct {
    std::string list;
    std::string field;
    std::string rest;
  } rows[] = {
      {"a;b;c", "a", "b;c"}, {"a;", "a", ""}, {";a", "", "a"},
      {"abc", "abc", ""},    {"", "", ""},    {";", "", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.list);
    std::string list = row.list;
    EXPECT_EQ(util::SplitFirst(';', list), row.field);
    EXPECT_EQ(list, row.rest);
  }
}

TEST(IntToText, DecimalWithSign) {
  EXPECT_EQ(util::IntToText(0), "0");
  EXPECT_EQ(util::IntToText(-42), "-42");
  EXPECT_EQ(util::IntToText(INT32_MIN), "-2147483648");
  EXPECT_EQ(util::IntToText(INT32_MAX), "2147483647");
}

}  // namespace
