#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "ModuleState.h"
#include "NoticeRecorder.h"
#include "Platform.h"
#include "TempDir.h"
#include "Util.h"

namespace {

using testsupport::NoticeRecorder;
using testsupport::TempDir;

// Points the module at an INI file of the test's own.
class Settings : public ::testing::Test {
 protected:
  void UseIni(const std::string& content) {
    util::detail::State().iniFile = dir_.Write("Vedo.ini", content);
  }
  void TearDown() override { util::StopModule(); }
  TempDir dir_;
};

TEST_F(Settings, TypedReadersConvertValueAndDefault) {
  UseIni(
      "[Program]\r\nT1=true\r\nT2=True\r\nT3=1\r\nF1=ja\r\nF2=yes\r\nF3=2\r\nF4=0\r\nEmpty=\r\n"
      "I1=12\r\nI2= 12\r\nI3=- 5\r\nI4=0x1F\r\nI5=$10\r\nI6=12a\r\nI7=99999999999\r\n"
      "U=\xE6sk \"q\"\r\n");
  for (const char* key : {"T1", "T2", "T3"}) EXPECT_TRUE(util::ReadIniBool("Program", key, false));
  for (const char* key : {"F1", "F2", "F3", "F4", "Empty"}) {
    EXPECT_FALSE(util::ReadIniBool("Program", key, true)) << key;
  }
  EXPECT_TRUE(util::ReadIniBool("Program", "Missing", true));
  EXPECT_FALSE(util::ReadIniBool("Program", "Missing", false));

  const std::pair<const char*, int32_t> ints[] = {{"I1", 12}, {"I2", 12},    {"I3", -9},
                                                  {"I4", 31}, {"I5", 16},    {"I6", -9},
                                                  {"I7", -9}, {"Empty", -9}, {"Missing", -9}};
  for (const auto& [key, expected] : ints) {
    EXPECT_EQ(util::ReadIniInt("Program", key, -9), expected) << key;
  }
  EXPECT_EQ(util::ReadIniUpper("Program", "U", ""), "\xC6SK \"Q\"");
  EXPECT_EQ(util::ReadIniUpper("Program", "Missing", "spr"), "SPR") << "default upper-cased";
}

TEST_F(Settings, EmptySectionOrKeyReturnsTheDefaultUnread) {
  UseIni("[]\r\nk=from file\r\n[S]\r\n=empty key\r\n");
  EXPECT_EQ(util::ReadIni("", "k", "dflt  "), "dflt  ");
  EXPECT_EQ(util::ReadIni("S", "", "dflt"), "dflt");
}

TEST_F(Settings, NoActiveIniFileGivesANoticeAndTheDefault) {
  NoticeRecorder notices;
  EXPECT_EQ(util::ReadIniFile("", "VedoTcp", "VedoIP", "localhost"), "localhost");
  ASSERT_EQ(notices.boxes.size(), 1u);
  EXPECT_EQ(notices.boxes[0],
            "Advarsel|Programfeil - ingen aktiv ini-fil:\r[VedoTcp], VedoIP = localhost");
}

TEST_F(Settings, NoticeFallsBackToThePlainMessage) {
  NoticeRecorder notices(/*boxFails=*/true);
  util::Notice("Advarsel", "tekst");
  EXPECT_TRUE(notices.boxes.empty());
  ASSERT_EQ(notices.plain.size(), 1u);
  EXPECT_EQ(notices.plain[0], "Advarsel:\r\rtekst");
}

TEST_F(Settings, WriteIniIntoMissingFileSectionAndKey) {
  util::detail::State().iniFile = dir_ / "new.ini";
  util::WriteIni("Program", "Firma", "Tarvelmek");
  util::WriteIni("Program", "SysExt", ".SPR");
  util::WriteIni("VedoTcp", "VedoIP", "server1");
  util::WriteIni("program", "FIRMA", "Other");
  EXPECT_EQ(testsupport::ReadFile(dir_ / "new.ini"),
            "[Program]\r\nFirma=Other\r\nSysExt=.SPR\r\n[VedoTcp]\r\nVedoIP=server1\r\n");
}

TEST_F(Settings, FailedWriteIsSilentAndLeavesTheFile) {
  UseIni("[Program]\r\nFirma=x\r\n");
  using std::filesystem::perms;
  std::filesystem::permissions(util::IniFile(),
                               perms::owner_read | perms::group_read | perms::others_read);
  // Windows' profile functions honour the read-only mark, but Wine run as root writes anyway.
  if (platform::kPathSeparator == '\\' && std::ofstream(util::IniFile(), std::ios::app)) {
    GTEST_SKIP() << "this user may write read-only files";
  }
  NoticeRecorder notices;
  util::WriteIni("Program", "Firma", "y");
  EXPECT_EQ(testsupport::ReadFile(util::IniFile()), "[Program]\r\nFirma=x\r\n");
  EXPECT_TRUE(notices.boxes.empty());
}

}  // namespace
