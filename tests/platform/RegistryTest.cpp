#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "Platform.h"
#include "RegText.h"
#include "TempDir.h"

namespace {

using platform::RegistryError;
using platform::RegistryOpen;
using platform::RegistryRoot;
using testsupport::ReadFile;
using testsupport::TempDir;

const std::string kKey = "HKEY_CURRENT_USER\\Software\\Vedo";

struct ValueRow {
  const char* name;
  std::string file;
  std::string value;
  std::string expected;  // the text, or the error message
  bool error = false;
};

TEST(RegText, ReadsTextValuesAndRejectsOtherTypes) {
  const std::string head = "REGEDIT4\r\n\r\n[" + kKey + "]\r\n";
  const ValueRow rows[] = {
      {"plain string", head + "\"INI-Fil\"=\"C:\\\\Vedo\\\\Vedo.ini\"\r\n", "INI-Fil",
       "C:\\Vedo\\Vedo.ini"},
      {"name ignores case", head + "\"ini-fil\"=\"x\"\r\n", "INI-Fil", "x"},
      {"escaped quote", head + "\"a\"=\"say \\\"hi\\\"\"\r\n", "a", "say \"hi\""},
      {"blanks around = and a comment", head + "  \"b\"  =  \"  y  \" ;note\r\n", "b", "  y  "},
      {"missing value reads empty", head, "nothing", ""},
      {"deleted value reads empty", head + "\"a\"=\"x\"\r\n\"a\"=-\r\n", "a", ""},
      {"later definition wins", head + "\"a\"=\"1\"\r\n[" + kKey + "]\r\n\"a\"=\"2\"\r\n", "a",
       "2"},
      {"expandable string taken literally", head + "\"p\"=hex(2):25,48,4f,4d,45,25,5c,78,00\r\n",
       "p", "%HOME%\\x"},
      {"expandable string over continuation lines",
       head + "\"p\"=hex(2):41,42,\\\r\n  43,44,00\r\n", "p", "ABCD"},
      {"string in byte form stops at NUL", head + "\"p\"=hex(1):41,00,42,00\r\n", "p", "A"},
      {"empty binary value reads empty", head + "\"e\"=hex:\r\n", "e", ""},
      {"dword is no text", head + "\"ExeKatalog\"=dword:00000001\r\n", "ExeKatalog",
       "Invalid data type for 'ExeKatalog'", true},
      {"binary is no text", head + "\"DataKatalog\"=hex:01,02\r\n", "DataKatalog",
       "Invalid data type for 'DataKatalog'", true},
      {"multi string is no text", head + "\"m\"=hex(7):41,00,00\r\n", "m",
       "Invalid data type for 'm'", true},
      {"broken string data", head + "\"a\"=\"x\" #note\r\n", "a", "Failed to get data for 'a'",
       true},
      {"broken byte list", head + "\"p\"=hex(2):4g,00\r\n", "p", "Failed to get data for 'p'",
       true},
      {"other key's values are not seen", head + "[" + kKey + "\\Sub]\r\n\"a\"=\"sub\"\r\n", "a",
       ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    dir.Write("HKEY_CURRENT_USER.reg", row.file);
    ::setenv("VEDO_REGISTRY_DIR", dir.Path().c_str(), 1);
    const auto key = platform::OpenRegistryKey(RegistryRoot::CurrentUser, "Software\\Vedo",
                                               RegistryOpen::ReadOnly);
    ASSERT_NE(key, nullptr);
    if (row.error) {
      try {
        key->ReadText(row.value);
        ADD_FAILURE() << "no error raised";
      } catch (const RegistryError& error) {
        EXPECT_EQ(std::string(error.what()), row.expected);
      }
    } else {
      EXPECT_EQ(key->ReadText(row.value), row.expected);
    }
  }
  ::unsetenv("VEDO_REGISTRY_DIR");
}

TEST(RegText, HeaderIsRequiredAndUtf16Understood) {
  using platform::posix::FindRegKey;
  const std::string body = "\r\n[" + kKey + "]\r\n\"a\"=\"x\"\r\n";
  EXPECT_TRUE(FindRegKey("REGEDIT4" + body, kKey).has_value());
  EXPECT_TRUE(FindRegKey("  Windows Registry Editor Version 5.00" + body, kKey).has_value());
  EXPECT_FALSE(FindRegKey("REGEDIT 4" + body, kKey).has_value());
  EXPECT_FALSE(FindRegKey("regedit4" + body, kKey).has_value());
  EXPECT_FALSE(FindRegKey(body, kKey).has_value());

  // Version 5.00 as the registry editor writes it: UTF-16LE with a BOM; hex(2) in code units.
  const std::string text =
      "Windows Registry Editor Version 5.00" + body + "\"p\"=hex(2):e6,00,41,00,00,00\r\n";
  std::string utf16 = "\xFF\xFE";
  for (const char c : text) {
    utf16 += c;
    utf16 += '\0';
  }
  const auto values = FindRegKey(platform::posix::RegFileText(utf16), kKey);
  ASSERT_TRUE(values.has_value());
  EXPECT_EQ(values->at("A").text, "x");
  EXPECT_EQ(values->at("P").text,
            "\xE6"
            "A");
}

TEST(RegText, OnlyByteListsContinueOntoTheNextLine) {
  using platform::posix::FindRegKey;
  const std::string header = "REGEDIT4\r\n\r\n";
  const std::string key = "[" + kKey + "]\r\n";
  const struct {
    const char* name;
    std::string file;
    const char* value;
    std::string expected;  // "<no key>" when the key must not be found
  } rows[] = {
      {"comment ending in a backslash above the key",
       header + "; C:\\\r\n" + key + "\"INI-Fil\"=\"x\"\r\n", "INI-Fil", "x"},
      {"text value ending in a backslash", header + key + "\"a\"=\"C:\\\\\"\r\n\"b\"=\"y\"\r\n",
       "b", "y"},
      {"the text value itself", header + key + "\"a\"=\"C:\\\\\"\r\n\"b\"=\"y\"\r\n", "a", "C:\\"},
      {"other line ending in a backslash", header + key + "junk \\\r\n\"b\"=\"y\"\r\n", "b", "y"},
      {"byte list with a comment after its backslash",
       header + key + "\"p\"=hex(2):41,42,\\ ;more\r\n  43,00\r\n", "p", "ABC"},
      {"byte list across a comment line",
       header + key + "\"p\"=hex(2):41,\\\r\n; between\r\n  42,00\r\n", "p", "AB"},
      {"byte list of a name holding ;", header + key + "\"a;b\"=hex(2):41,\\\r\n  42,00\r\n", "a;b",
       "AB"},
      {"byte list over three lines", header + key + "\"p\"=hex(2):41,\\\r\n 42,\\\r\n 43,00\r\n",
       "p", "ABC"},
      {"value after a finished byte list", header + key + "\"p\"=hex(2):41,00\r\n\"b\"=\"y\"\r\n",
       "b", "y"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto values = FindRegKey(row.file, kKey);
    ASSERT_TRUE(values.has_value());
    const auto found = values->find(platform::posix::FoldRegName(row.value));
    ASSERT_NE(found, values->end());
    EXPECT_EQ(found->second.text, row.expected);
  }
}

class RegistryOpenModes : public ::testing::Test {
 protected:
  void SetUp() override { ::setenv("VEDO_REGISTRY_DIR", dir_.Path().c_str(), 1); }
  void TearDown() override { ::unsetenv("VEDO_REGISTRY_DIR"); }
  TempDir dir_;
};

TEST_F(RegistryOpenModes, MissingKeyOpensOnlyWithCreate) {
  EXPECT_EQ(platform::OpenRegistryKey(RegistryRoot::LocalMachine, "Software\\Vedo",
                                      RegistryOpen::ReadWrite),
            nullptr);
  EXPECT_EQ(platform::OpenRegistryKey(RegistryRoot::LocalMachine, "Software\\Vedo",
                                      RegistryOpen::ReadOnly),
            nullptr);
  EXPECT_NE(
      platform::OpenRegistryKey(RegistryRoot::CurrentUser, "Software\\Vedo", RegistryOpen::Create),
      nullptr);
  EXPECT_EQ(ReadFile(dir_ / "HKEY_CURRENT_USER.reg"),
            "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vedo]\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "HKEY_LOCAL_MACHINE.reg"));
}

TEST_F(RegistryOpenModes, CreateAppendsToAnExistingFileAndKeepsIt) {
  const std::string before = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n\"x\"=\"1\"";
  dir_.Write("HKEY_CURRENT_USER.reg", before);
  ASSERT_NE(
      platform::OpenRegistryKey(RegistryRoot::CurrentUser, "Software\\Vedo", RegistryOpen::Create),
      nullptr);
  EXPECT_EQ(ReadFile(dir_ / "HKEY_CURRENT_USER.reg"),
            before + "\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vedo]\r\n");
}

TEST_F(RegistryOpenModes, CreatedKeyIsFoundAfterALastLineEndingInABackslash) {
  const std::string before = "REGEDIT4\r\n;\\";
  dir_.Write("HKEY_CURRENT_USER.reg", before);
  ASSERT_NE(
      platform::OpenRegistryKey(RegistryRoot::CurrentUser, "Software\\Vedo", RegistryOpen::Create),
      nullptr);
  const std::string created = before + "\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vedo]\r\n";
  EXPECT_EQ(ReadFile(dir_ / "HKEY_CURRENT_USER.reg"), created);
  // The next start finds the key and appends nothing.
  EXPECT_NE(platform::OpenRegistryKey(RegistryRoot::CurrentUser, "Software\\Vedo",
                                      RegistryOpen::ReadWrite),
            nullptr);
  ASSERT_NE(
      platform::OpenRegistryKey(RegistryRoot::CurrentUser, "Software\\Vedo", RegistryOpen::Create),
      nullptr);
  EXPECT_EQ(ReadFile(dir_ / "HKEY_CURRENT_USER.reg"), created);
}

TEST_F(RegistryOpenModes, CreateLeavesAForeignFileAlone) {
  dir_.Write("HKEY_CURRENT_USER.reg", "not a registry file\n");
  EXPECT_EQ(
      platform::OpenRegistryKey(RegistryRoot::CurrentUser, "Software\\Vedo", RegistryOpen::Create),
      nullptr);
  EXPECT_EQ(ReadFile(dir_ / "HKEY_CURRENT_USER.reg"), "not a registry file\n");
}

TEST_F(RegistryOpenModes, ReadOnlyFileOpensOnlyForReading) {
  const std::string file = dir_.Write("HKEY_LOCAL_MACHINE.reg",
                                      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Vedo]\r\n");
  ::chmod(file.c_str(), 0444);
  EXPECT_EQ(platform::OpenRegistryKey(RegistryRoot::LocalMachine, "Software\\Vedo",
                                      RegistryOpen::ReadWrite),
            nullptr);
  EXPECT_NE(platform::OpenRegistryKey(RegistryRoot::LocalMachine, "Software\\Vedo",
                                      RegistryOpen::ReadOnly),
            nullptr);
  EXPECT_NE(platform::OpenRegistryKey(RegistryRoot::LocalMachine, "software\\VEDO",
                                      RegistryOpen::ReadOnly),
            nullptr)
      << "key paths ignore case";
}

}  // namespace
