#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "Platform.h"
#include "TempDir.h"

namespace {

using testsupport::ReadFile;
using testsupport::TempDir;

TEST(ProfileFile, MissingFileGivesTheDefaultWithoutTrailingSpaces) {
  TempDir dir;
  EXPECT_EQ(platform::GetProfileString("S", "k", "ab  ", 4096, dir / "none.ini"), "ab");
  EXPECT_EQ(platform::GetProfileString("S", "k", "\tab\t", 4096, dir / "none.ini"), "\tab\t");
  EXPECT_EQ(platform::GetProfileString("S", "k", "x", 4096, dir.Path()), "x") << "a directory";
}

TEST(ProfileFile, ValueIsCutToTheBuffer) {
  TempDir dir;
  const std::string file = dir.Write("v.ini", "[S]\r\nk=" + std::string(5000, 'a') +
                                                  "\r\n"
                                                  "t=TestValue\r\n");
  EXPECT_EQ(platform::GetProfileString("S", "k", "", 4096, file), std::string(4095, 'a'));
  EXPECT_EQ(platform::GetProfileString("S", "t", "", 5, file), "Test");
  EXPECT_EQ(platform::GetProfileString("S", "t", "", 1, file), "");
  EXPECT_EQ(platform::GetProfileString("S", "t", "", 0, file), "");
}

TEST(ProfileFile, WriteCreatesFileAndReadsBack) {
  TempDir dir;
  const std::string file = dir / "new.ini";
  ASSERT_TRUE(platform::WriteProfileString("App", "key", "string", file));
  EXPECT_EQ(ReadFile(file), "[App]\r\nkey=string\r\n");
  EXPECT_EQ(platform::GetProfileString("app", "KEY", "d", 4096, file), "string");
}

TEST(ProfileFile, WriteIntoMissingDirectoryFails) {
  TempDir dir;
  EXPECT_FALSE(platform::WriteProfileString("S", "k", "v", dir / "no/such/dir.ini"));
  EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

TEST(ProfileFile, ReadOnlyFileIsLeftAlone) {
  TempDir dir;
  const std::string file = dir.Write("ro.ini", "[S]\r\nk=old\r\n");
  ::chmod(file.c_str(), 0444);
  EXPECT_FALSE(platform::WriteProfileString("S", "k", "new", file));
  EXPECT_EQ(ReadFile(file), "[S]\r\nk=old\r\n");
}

TEST(ProfileFile, WriteIsAtomicAndKeepsModeAndLinks) {
  TempDir dir;
  const std::string real = dir.Write("real.ini", "; settings\n[S]\nk=1\n");
  ::chmod(real.c_str(), 0640);
  const std::string link = dir / "link.ini";
  ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);

  ASSERT_TRUE(platform::WriteProfileString("S", "k", "2", link));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(real), "; settings\n[S]\nk=2\r\n");
  struct stat info {};
  ::stat(real.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    ++entries;
  }
  EXPECT_EQ(entries, 2) << "no temporary file is left beside the INI file";
}

std::string Utf16(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (const char c : ascii) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

TEST(ProfileFile, Utf16FileIsReadAndWrittenAsUtf16) {
  TempDir dir;
  const std::string file = dir.Write("u.ini", Utf16("[VedoTcp]\r\nVedoIP=10.0.0.5\r\n"));
  EXPECT_EQ(platform::GetProfileString("VedoTcp", "VedoIP", "", 4096, file), "10.0.0.5");
  ASSERT_TRUE(platform::WriteProfileString("Program", "Firma", "Tarvelmek", file));
  EXPECT_EQ(ReadFile(file),
            Utf16("[VedoTcp]\r\nVedoIP=10.0.0.5\r\n[Program]\r\nFirma=Tarvelmek\r\n"));

  // A character outside cp1252 would be lost in the round trip: the file is left alone.
  std::string foreign = Utf16("[S]\r\nk=");
  foreign += "\x3A\x04";  // Cyrillic
  dir.Write("f.ini", foreign);
  EXPECT_FALSE(platform::WriteProfileString("S", "k", "v", dir / "f.ini"));
  EXPECT_EQ(ReadFile(dir / "f.ini"), foreign);
}

}  // namespace
