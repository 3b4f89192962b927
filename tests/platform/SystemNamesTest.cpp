// Names and arguments are cp1252 inside and UTF-8 on disk and on the command line: every entry
// of the seam converts, and a name that cp1252 cannot hold is never turned into another name.
#include <unistd.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "Platform.h"
#include "TempDir.h"
#include "WaitUntil.h"

namespace {

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WaitForFile;

// "Mæ/PRØVE.NC" in both forms.
const std::string kNorwegianCp1252 = "M\xE6/PR\xD8VE.NC";
const std::string kNorwegianUtf8 = "M\xC3\xA6/PR\xC3\x98VE.NC";

TEST(SystemNames, ConvertBothWays) {
  const struct {
    const char* name;
    std::string cp1252;
    std::string system;
  } rows[] = {
      {"plain ASCII", "/srv/nc/P1.NC", "/srv/nc/P1.NC"},
      {"Norwegian letters", "\xE6\xF8\xE5\xC6\xD8\xC5",
       "\xC3\xA6\xC3\xB8\xC3\xA5\xC3\x86\xC3\x98\xC3\x85"},
      {"euro sign", "\x80", "\xE2\x82\xAC"},
      {"path with Norwegian letters", kNorwegianCp1252, kNorwegianUtf8},
      {"question mark is a character like any other", "a?b", "a?b"},
      {"byte that cp1252 leaves undefined", "\x81", "\xC2\x81"},
      {"empty", "", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(platform::ToSystemName(row.cp1252), row.system);
    EXPECT_EQ(platform::FromSystemName(row.system), row.cp1252);
  }
}

TEST(SystemNames, EveryByteSurvivesTheRoundTrip) {
  for (int byte = 1; byte < 256; ++byte) {
    SCOPED_TRACE(byte);
    const std::string name = "a" + std::string(1, static_cast<char>(byte)) + "b";
    EXPECT_EQ(platform::FromSystemName(platform::ToSystemName(name)), name);
  }
}

TEST(SystemNames, NamesWithoutACp1252FormGiveNothing) {
  const struct {
    const char* name;
    std::string system;
  } rows[] = {
      {"Chinese", "/srv/nc/\xE6\xBC\xA2\xE5\xAD\x97.NC"},
      {"emoji", "P\xF0\x9F\x98\x80.NC"},
      {"one such letter among Norwegian ones", "\xC3\xA6\xE2\x88\x9E\xC3\xB8"},
      {"C1 control that cp1252 puts elsewhere", "\xC2\x80"},
      {"invalid byte", "P\xFF.NC"},
      {"overlong slash", "a\xC0\xAF"},
      {"cut sequence", "P\xE2\x82"},
      {"surrogate half", "\xED\xA0\x80"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(platform::FromSystemName(row.system), std::nullopt);
  }
}

TEST(SystemNames, FullPaths) {
  const struct {
    const char* name;
    bool full;
  } rows[] = {
      {"/srv/nc/P1.NC", true}, {"D:\\NC\\P1.NC", true}, {"\\\\srv\\nc\\P1.NC", true},
      {"sub\\\\P1.NC", true},  {"nc:P1.NC", true},      {"P1.NC", false},
      {"sub/P1.NC", false},    {"\\nc\\P1.NC", false},  {"", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(platform::IsFullPath(row.name), row.full);
  }
}

TEST(SystemNames, FileTestAndProfileFilesUseTheNameOnDisk) {
  TempDir dir;
  dir.Write(kNorwegianUtf8, "[S]\r\nk=v\xE6rdi\r\n");
  EXPECT_TRUE(platform::FileExists(dir / kNorwegianCp1252));
  EXPECT_FALSE(platform::FileExists(dir / kNorwegianUtf8)) << "taken as cp1252, another name";
  EXPECT_FALSE(platform::FileExists(dir / "M\xE6")) << "a directory";
  EXPECT_EQ(platform::GetProfileString("S", "k", "", 4096, dir / kNorwegianCp1252), "v\xE6rdi");

  const std::string written = "\xC5r/\xD8ving.ini";  // "År/Øving.ini"
  std::filesystem::create_directory(dir / "\xC3\x85r");
  ASSERT_TRUE(platform::WriteProfileString("S", "k", "1", dir / written));
  EXPECT_EQ(ReadFile(dir / "\xC3\x85r/\xC3\x98ving.ini"), "[S]\r\nk=1\r\n");
  ASSERT_TRUE(platform::WriteProfileString("S", "k", "2", dir / written)) << "now it exists";
  EXPECT_EQ(ReadFile(dir / "\xC3\x85r/\xC3\x98ving.ini"), "[S]\r\nk=2\r\n");
}

TEST(SystemNames, ProgramPathIsGivenInCp1252) {
  char path[PATH_MAX] = {};
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  ASSERT_GT(length, 0);
  const auto expected = platform::FromSystemName(std::string(path, length));
  if (!expected) GTEST_SKIP() << "the tests run from a folder that cp1252 cannot name";
  EXPECT_EQ(platform::ProgramPath(), *expected);
  EXPECT_TRUE(platform::FileExists(platform::ProgramPath()));
}

TEST(SystemNames, LaunchedProgramGetsItsPathArgumentsAndFolderInUtf8) {
  TempDir dir;
  const std::string record = dir / "argv.txt";
  ::setenv("ARGV_RECORD_FILE", record.c_str(), 1);
  std::filesystem::create_directories(dir / "bin\xC3\xB8");    // "binø"
  std::filesystem::create_directories(dir / "arb\xC3\xA6id");  // "arbæid"
  std::filesystem::copy_file(ARGV_RECORDER, dir / "bin\xC3\xB8/VedoEdit");
  ASSERT_TRUE(platform::ShellOpen(dir / "bin\xF8/VedoEdit",
                                  "\"" + dir / kNorwegianCp1252 + "\" Fres\x80 3",
                                  dir / "arb\xE6id", 1));
  EXPECT_EQ(WaitForFile(record),
            dir / "arb\xC3\xA6id\n" + dir / kNorwegianUtf8 + "\nFres\xE2\x82\xAC\n3\n");
  ::unsetenv("ARGV_RECORD_FILE");
}

}  // namespace
