// The one write to the INI file replaces it whole or not at all, even when the writer is killed
// at any moment; what a killed writer leaves beside the file is cleared by the next write.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "Platform.h"
#include "Processes.h"
#include "TempDir.h"

namespace {

using Clock = std::chrono::steady_clock;
using testsupport::ReadFile;
using testsupport::TempDir;

// Files beside the INI file other than the INI file itself.
std::vector<std::string> Beside(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    const std::string name = entry.path().filename().string();
    if (name != "Vedo.ini") names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

pid_t StartWriter(const std::string& ini) {
  return testsupport::Spawn({INI_WRITE_PROBE, ini, "Program", "Firma", "Tarvelmek"}, {});
}

int WaitFor(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

TEST(CrashSafeWrite, KilledWriterLeavesTheOldFileOrTheNewOne) {
  TempDir dir;
  // Large enough that the write takes a while, with the key in the middle and CR LF, LF and
  // blank-line spellings around it that must survive byte for byte.
  std::string head, tail;
  for (int i = 0; i < 8000; ++i) head += "; note " + std::to_string(i) + " about the machines\r\n";
  for (int i = 0; i < 8000; ++i) tail += "Key" + std::to_string(i) + " = value\n";
  const std::string before = head + "[Program]\r\nFirma=abcdeftramvold\r\n\n" + tail;
  const std::string after = head + "[Program]\r\nFirma=Tarvelmek\r\n\n" + tail;
  const std::string ini = dir / "Vedo.ini";

  // How long one whole write takes here, to spread the kills over it.
  dir.Write("Vedo.ini", before);
  const auto start = Clock::now();
  ASSERT_EQ(WaitFor(StartWriter(ini)), 0);
  const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
  ASSERT_EQ(ReadFile(ini), after);

  std::mt19937 random(20261209);
  std::uniform_int_distribution<long> moment(0, whole.count() * 3 / 2);
  int old = 0, replaced = 0, strays = 0;
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    dir.Write("Vedo.ini", before);
    const pid_t writer = StartWriter(ini);
    std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
    ::kill(writer, SIGKILL);
    WaitFor(writer);
    const std::string now = ReadFile(ini);
    ASSERT_TRUE(now == before || now == after) << "a torn file of " << now.size() << " bytes";
    (now == before ? old : replaced) += 1;
    strays += static_cast<int>(Beside(dir).size());
  }
  std::cout << "kills: " << old << " left the old file, " << replaced
            << " the new one; temporaries left: " << strays << "\n";
  // Kills landed before the rename and after it, or the test proved nothing.
  EXPECT_GT(old, 0);
  EXPECT_GT(replaced, 0);

  dir.Write("Vedo.ini", before);
  ASSERT_EQ(WaitFor(StartWriter(ini)), 0);
  EXPECT_EQ(ReadFile(ini), after);
  EXPECT_EQ(Beside(dir), std::vector<std::string>{}) << "the next write clears what kills left";
}

TEST(CrashSafeWrite, NextWriteRemovesOnlyDeadWritersTemporaries) {
  TempDir dir;
  const std::string ini = dir.Write("Vedo.ini", "[Program]\r\nFirma=x\r\n");
  dir.Write(".Vedo.ini.vedo-a1B2c3", "left by a killed writer");
  // A writer still at work holds a lock on its temporary.
  const std::string live = dir.Write(".Vedo.ini.vedo-Live00", "being written");
  const int liveFd = ::open(live.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(liveFd, LOCK_EX), 0);
  const std::vector<std::string> foreign = {".Vedo.ini.vedo-toolong", ".Other.ini.vedo-a1B2c3",
                                            "Vedo.ini.bak", "Vedo.ini.XYZ123"};
  for (const auto& name : foreign) dir.Write(name, "not ours");

  ASSERT_TRUE(platform::WriteProfileString("Program", "Firma", "Tarvelmek", ini));
  ::close(liveFd);
  EXPECT_EQ(ReadFile(ini), "[Program]\r\nFirma=Tarvelmek\r\n");
  std::vector<std::string> expected = foreign;
  expected.push_back(".Vedo.ini.vedo-Live00");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Beside(dir), expected);
}

}  // namespace
