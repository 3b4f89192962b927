#include "ProfileText.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;
using platform::posix::FindProfileValue;
using platform::posix::SetProfileValue;

struct LookupRow {
  const char* name;
  std::string content;
  std::string section;
  std::string key;
  std::optional<std::string> expected;  // nothing: the default is used
};

TEST(ProfileLookup, FollowsTheProfileRules) {
  const LookupRow rows[] = {
      {"names ignore case", "[Sec]\r\nKey=Value\r\n", "sec", "KEY", "Value"},
      {"blanks around names and value", "[ Sec ]\n  Key  =  two words  \n", " Sec ", "Key",
       "two words"},
      {"quotes keep inner blanks", "[S]\r\nk=\"  padded  \"\r\n", "S", "k", "  padded  "},
      {"only one quote pair goes", "[S]\r\nk=\"\"x\"\"\r\n", "S", "k", "\"x\""},
      {"mismatched quotes stay", "[S]\r\nk=\"abc'\r\n", "S", "k", "\"abc'"},
      {"single quotes pair too", "[S]\r\nk='a b'\r\n", "S", "k", "a b"},
      {"no inline comments, lone CR ends lines", "[S]\rk=a ; b\r", "S", "k", "a ; b"},
      {"comment is never a key", "[S]\r\n;k=v\r\n", "S", "k", std::nullopt},
      {"comment key name", "[S]\r\n;k=v\r\n", "S", ";k", std::nullopt},
      {"first duplicate key wins", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "1"},
      {"only the first section is searched", "[S]\r\n[S]\r\nk=v", "S", "k", std::nullopt},
      {"header without closing bracket", "[S   \r\nk=v\r\n", "S", "k", "v"},
      {"text after the bracket is ignored", "[sec]whoops]\r\nk=v\r\n", "sec", "k", "v"},
      {"lines before any section are unreachable", "k=v\r\n[S]\r\n", "", "k", std::nullopt},
      {"empty value is not the default", "[S]\r\nk=\r\n", "S", "k", ""},
      {"hash is an ordinary character", "[S]\r\n#k=v\r\n", "S", "#k", "v"},
      {"line without = is no key", "[S]\r\nk\r\n", "S", "k", std::nullopt},
      {"key in another section", "[A]\r\nk=1\r\n[B]\r\nk=2\r\n", "B", "k", "2"},
      {"tab in the argument prevents a match", "[S]\r\nk=v\r\n", "S", "k\t", std::nullopt},
      {"value keeps = and ;", "[S]\r\nk=a=b;c\r\n", "S", "k", "a=b;c"},
      {"bytes above 127 pass unchanged", "[S]\r\nk=\xE6\xF8\xE5\r\n", "S", "k", "\xE6\xF8\xE5"},
      {"mixed line ends", "[S]\nx=1\r\nk=2\ry=3", "S", "k", "2"},
      {"value ends at a zero byte", "[S]\r\nk=ab\0cd\r\nn=1\r\n"s, "S", "k", "ab"},
      {"zero byte inside quotes", "[S]\r\nk=\"a\0b\"\r\n"s, "S", "k", "a"},
      {"zero byte first", "[S]\r\nk=\0x\r\n"s, "S", "k", ""},
      {"keys after a zero byte still read", "[S]\r\nk=a\0\r\nn=1\r\n"s, "S", "n", "1"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FindProfileValue(row.content, row.section, row.key), row.expected);
  }
}

struct UpdateRow {
  const char* name;
  std::string before;
  std::string section;
  std::string key;
  std::string value;
  std::string after;
};

TEST(ProfileUpdate, KeepsEveryOtherByte) {
  const UpdateRow rows[] = {
      {"new file", "", "App", "key", "string", "[App]\r\nkey=string\r\n"},
      {"new section appended", "[App1]\r\nkey1=string1\r\n", "App2", "key4", "string4",
       "[App1]\r\nkey1=string1\r\n[App2]\r\nkey4=string4\r\n"},
      {"line break added before a new section", "junk", "s", "k", "v", "junk\r\n[s]\r\nk=v\r\n"},
      {"new key after the last key", "[S]\r\nb=value\r\na=value\r\n", "S", "z", "",
       "[S]\r\nb=value\r\na=value\r\nz=\r\n"},
      {"replaced key keeps its spelling and gets CR LF", "[S]\r\nTestKey=TestValue", "S", "TESTKEY",
       "TestValue2", "[S]\r\nTestKey=TestValue2\r\n"},
      {"new key before closing comments", "[S]\r\nb=1\r\n;c\r\na=1\r\n;tail\r\n", "S", "z", "9",
       "[S]\r\nb=1\r\n;c\r\na=1\r\nz=9\r\n;tail\r\n"},
      {"arguments lose their spaces, value is raw", "", "S", " k ", "  v ", "[S]\r\nk=  v \r\n"},
      {"LF lines and blank lines untouched", "[A]\nx=1\n\n[B]\ny=2\n", "A", "z", "3",
       "[A]\nx=1\nz=3\r\n\n[B]\ny=2\n"},
      {"only the first duplicate replaced", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "3",
       "[S]\r\nk=3\r\nk=2\r\n"},
      {"key right after a header without keys", "[S]\r\n;note\r\n[T]\r\n", "S", "k", "v",
       "[S]\r\nk=v\r\n;note\r\n[T]\r\n"},
      {"header at the end without line break", "[S]", "S", "k", "v", "[S]\r\nk=v\r\n"},
      {"blanks before the old value kept", "[S]\r\nk =  old\r\nn=1\r\n", "S", "K", "new",
       "[S]\r\nk =  new\r\nn=1\r\n"},
      {"junk before the first section kept", "\x01\x02junk\r\n[S]\r\nk=1\r\n", "S", "k", "2",
       "\x01\x02junk\r\n[S]\r\nk=2\r\n"},
      {"section of another case reused", "[program]\r\nFirma=x\r\n", "Program", "Firma",
       "Tarvelmek", "[program]\r\nFirma=Tarvelmek\r\n"},
      {"zero bytes of other values kept", "[S]\r\nz=a\0b\r\nk=1\r\n"s, "S", "k", "2",
       "[S]\r\nz=a\0b\r\nk=2\r\n"s},
      {"zero byte of the replaced value's line goes with it", "[S]\r\nk=a\0b\r\nn=1\r\n"s, "S", "k",
       "2", "[S]\r\nk=2\r\nn=1\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string after = SetProfileValue(row.before, row.section, row.key, row.value);
    EXPECT_EQ(after, row.after);
    if (row.value.find_first_of(" ") == std::string::npos) {
      EXPECT_EQ(FindProfileValue(after, row.section, row.key), row.value) << "reads back";
    }
  }
}

}  // namespace
