#include "TransferProgress.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "Platform.h"
#include "TempDir.h"
#include "TransferStatus.h"

namespace {

using client::ProgressView;
using client::StatusRecord;
using client::TransferProgress;
using namespace std::chrono_literals;
using testsupport::TransferStatus;

// The progress fed with replies on a clock that the test moves by hand.
class Progress : public ::testing::Test {
 protected:
  void At(TransferProgress::Clock::duration since, const StatusRecord& reply) {
    progress_.Update(TransferProgress::Clock::time_point{} + since, reply);
  }
  // A send at a steady rate from second 0, one reply a second, from second `from` up to `to`.
  void Steady(int from, int to, long bytesPerSecond) {
    for (int second = from; second <= to; ++second) {
      At(std::chrono::seconds(second),
         TransferStatus("Sender", std::to_string(bytesPerSecond * second)));
    }
  }
  TransferProgress progress_;
};

TEST(ByteCount, ReadsTheCountsServersWrite) {
  const struct {
    const char* name;
    std::string text;
    std::optional<std::uintmax_t> count;
  } rows[] = {
      {"plain", "4711", 4711},
      {"zero", "0", 0},
      {"blanks around", "  4711 ", 4711},
      {"groups of digits", "12 345 678", 12345678},
      {"no-break space groups",
       "12\xA0"
       "345",
       12345},
      {"unit after a blank", "12 345 bytes", 12345},
      {"empty", "", std::nullopt},
      {"blanks only", "   ", std::nullopt},
      {"sign", "-5", std::nullopt},
      {"unit glued on", "12kB", std::nullopt},
      {"words", "ukjent", std::nullopt},
      {"decimal point", "1.5", std::nullopt},
      {"beyond the range", "999999999999999999999999", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(client::ParseByteCount(row.text), row.count);
  }
}

TEST(BarText, NorwegianWithUnitsThatFitTheRate) {
  const auto view = [](std::optional<double> share, std::optional<double> rate,
                       std::optional<std::chrono::seconds> left, bool stalled = false) {
    ProgressView v;
    v.share = share;
    v.bytesPerSecond = rate;
    v.timeLeft = left;
    v.stalled = stalled;
    return v;
  };
  const struct {
    const char* name;
    ProgressView view;
    std::string text;
  } rows[] = {
      {"share, rate, time left", view(0.374, 960, 161s), "37 % \x96 960 B/s \x96 2:41 igjen"},
      {"share rounded down", view(0.999, 960, 1s), "99 % \x96 960 B/s \x96 0:01 igjen"},
      {"kilobytes with a decimal comma", view(0.5, 1920, 65s),
       "50 % \x96 1,9 kB/s \x96 1:05 igjen"},
      {"whole kilobytes from ten on", view(0.5, 38400, 3s), "50 % \x96 38 kB/s \x96 0:03 igjen"},
      {"megabytes", view(0.5, 2.5e6, 3s), "50 % \x96 2,5 MB/s \x96 0:03 igjen"},
      {"just below a kilobyte", view(0.5, 999.4, 3s), "50 % \x96 999 B/s \x96 0:03 igjen"},
      {"rounds up to a kilobyte", view(0.5, 999.6, 3s), "50 % \x96 1,0 kB/s \x96 0:03 igjen"},
      {"hours", view(0.01, 96, 3723s), "1 % \x96 96 B/s \x96 1:02:03 igjen"},
      {"rate only, size unknown", view({}, 960, {}), "960 B/s"},
      {"stalled with a share", view(0.37, 0, {}, true), "37 % \x96 st\xE5r stille"},
      {"stalled, size unknown", view({}, 0, {}, true), "st\xE5r stille"},
      {"share before any rate", view(0.0, {}, {}), "0 %"},
      {"nothing known yet", view({}, {}, {}), "beregner hastighet"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(client::ProgressText(row.view), row.text);
  }
}

TEST_F(Progress, SendOfKnownSizeGivesRateShareAndTimeLeft) {
  At(0s, TransferStatus("Sender", "0"));
  progress_.SetProgramSize(96000);
  auto view = progress_.View();
  ASSERT_TRUE(view) << "under way from the first reply";
  EXPECT_EQ(view->share, 0.0);
  EXPECT_FALSE(view->bytesPerSecond) << "one reply spans no time";

  At(1s, TransferStatus("Sender", "960"));
  view = progress_.View();
  ASSERT_TRUE(view && view->bytesPerSecond && view->timeLeft);
  EXPECT_DOUBLE_EQ(*view->bytesPerSecond, 960);
  EXPECT_DOUBLE_EQ(*view->share, 0.01);
  EXPECT_EQ(*view->timeLeft, 99s);

  Steady(2, 50, 960);
  view = progress_.View();
  ASSERT_TRUE(view && view->timeLeft);
  EXPECT_DOUBLE_EQ(*view->share, 0.5);
  EXPECT_EQ(*view->timeLeft, 50s) << "half done at a steady rate: as long again";
}

TEST_F(Progress, RateFollowsTheLatestSecondsOnly) {
  Steady(0, 20, 100);
  // Then ten times as fast.
  for (int second = 21; second <= 30; ++second) {
    At(std::chrono::seconds(second),
       TransferStatus("Sender", std::to_string(2000 + 1000 * (second - 20))));
  }
  const auto view = progress_.View();
  ASSERT_TRUE(view && view->bytesPerSecond);
  EXPECT_DOUBLE_EQ(*view->bytesPerSecond, 1000);
  EXPECT_FALSE(view->share) << "no size given";
}

TEST_F(Progress, CountThatStopsShowsStalledAfterTenSeconds) {
  Steady(0, 5, 960);
  const std::string stopped = std::to_string(960 * 5);
  for (int second = 6; second <= 14; ++second) {
    At(std::chrono::seconds(second), TransferStatus("Sender", stopped));
    ASSERT_FALSE(progress_.View()->stalled) << "second " << second;
  }
  At(15s, TransferStatus("Sender", stopped));
  EXPECT_TRUE(progress_.View()->stalled);
  EXPECT_FALSE(progress_.View()->timeLeft);
  At(16s, TransferStatus("Sender", std::to_string(960 * 6)));
  EXPECT_FALSE(progress_.View()->stalled) << "moving again";
}

TEST_F(Progress, ServerThatNeverCountsStallsToo) {
  for (int second = 0; second <= 10; ++second)
    At(std::chrono::seconds(second), TransferStatus("Henter", "0"));
  EXPECT_TRUE(progress_.View()->stalled);
}

TEST_F(Progress, NothingShowsWithoutATransfer) {
  const struct {
    const char* name;
    std::vector<StatusRecord> replies;
  } rows[] = {
      {"idle machine",
       {TransferStatus("Klar", "0"), TransferStatus("Klar", "0"), TransferStatus("Klar", "0")}},
      {"done flag", {TransferStatus("Sender", "100", "1"), TransferStatus("Sender", "200", "1")}},
      {"finished transfer stays counted",
       {TransferStatus("Klar", "2400", "1"), TransferStatus("Klar", "2400", "1")}},
      {"restart keeps the old count",
       {TransferStatus("Restarter", "2400"), TransferStatus("Restarter", "2400")}},
      {"count that is no number", {TransferStatus("Sender", ""), TransferStatus("Sender", "?")}},
      {"no contact", {TransferStatus("", ""), TransferStatus("", "")}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TransferProgress progress;
    auto at = TransferProgress::Clock::time_point{};
    for (const auto& reply : row.replies) progress.Update(at += 1s, reply);
    EXPECT_FALSE(progress.View());
  }
}

TEST_F(Progress, GrowingCountMarksATransferWhateverTheStatusWord) {
  At(0s, TransferStatus("Aktiv", "100"));
  EXPECT_FALSE(progress_.View()) << "one count alone tells nothing";
  At(1s, TransferStatus("Aktiv", "1060"));
  auto view = progress_.View();
  ASSERT_TRUE(view && view->bytesPerSecond) << "the reply before counts for the rate";
  EXPECT_DOUBLE_EQ(*view->bytesPerSecond, 960);
  At(2s, TransferStatus("Aktiv", "2020"));
  EXPECT_TRUE(progress_.View());
  At(3s, TransferStatus("Ferdig", "2020"));
  EXPECT_FALSE(progress_.View()) << "another status text ends it, done flag or not";
}

TEST_F(Progress, TransferWordsInAnyCase) {
  for (const char* word : {"Sender", "HENTER", "mottar", "Overf\xF8rer P1.NC", " Sender"}) {
    SCOPED_TRACE(word);
    TransferProgress progress;
    progress.Update({}, TransferStatus(word, "0"));
    EXPECT_TRUE(progress.View());
  }
}

TEST_F(Progress, CountReachingTheSizeEndsATransferWithoutDoneFlag) {
  At(0s, TransferStatus("Sender", "0"));
  progress_.SetProgramSize(1000);
  At(1s, TransferStatus("Sender", "1000"));
  EXPECT_FALSE(progress_.View());
  At(2s, TransferStatus("Sender", "1000"));
  EXPECT_FALSE(progress_.View()) << "does not begin again at the same count";
}

TEST_F(Progress, FallingCountBeginsAfresh) {
  Steady(0, 5, 500);
  At(6s, TransferStatus("Sender", "0"));
  At(7s, TransferStatus("Sender", "100"));
  const auto view = progress_.View();
  ASSERT_TRUE(view && view->bytesPerSecond);
  EXPECT_DOUBLE_EQ(*view->bytesPerSecond, 100) << "the earlier transfer's counts are gone";
}

TEST_F(Progress, SizeHoldsForTheTransferUnderWayOnly) {
  At(0s, TransferStatus("Klar", "0"));
  progress_.SetProgramSize(9600);  // no transfer yet: nothing to hold it
  At(1s, TransferStatus("Sender", "0"));
  At(2s, TransferStatus("Sender", "960"));
  EXPECT_FALSE(progress_.View()->share);
  progress_.SetProgramSize(9600);
  EXPECT_DOUBLE_EQ(*progress_.View()->share, 0.1);
  At(3s, TransferStatus("Klar", "9600", "1"));
  At(4s, TransferStatus("Henter", "0"));
  EXPECT_FALSE(progress_.View()->share) << "the next transfer is another program";
}

TEST_F(Progress, SizeFoundLateThatIsPassedAlreadyEndsTheTransfer) {
  Steady(0, 3, 960);
  progress_.SetProgramSize(960 * 3);
  EXPECT_FALSE(progress_.View());
}

TEST_F(Progress, ResetForgetsTheMachineBefore) {
  Steady(0, 3, 960);
  progress_.SetProgramSize(96000);
  progress_.Reset();
  EXPECT_FALSE(progress_.View());
  At(10s, TransferStatus("Sender", "0"));
  EXPECT_FALSE(progress_.View()->share) << "the size went with the machine";
}

TEST(ProgramFile, SizeWhenTheClientCanReachTheFile) {
  testsupport::TempDir dir;
  const std::string directory = dir.Path() + "/M2/";
  dir.Write("M2/P1.NC", std::string(1234, 'x'));
  // "PØ.NC" as the file system has it.
  dir.Write(platform::ToSystemName("M2/SUB/P\xD8.NC"), std::string(77, 'x'));
  const struct {
    const char* name;
    std::string directory;
    std::string file;
    std::optional<std::uintmax_t> size;
  } rows[] = {
      {"directory and name", directory, "P1.NC", 1234},
      {"name in a subfolder, cp1252", directory, "SUB/P\xD8.NC", 77},
      {"full path whatever the directory", "D:\\NC\\M2\\", directory + "P1.NC", 1234},
      {"missing file", directory, "P9.NC", std::nullopt},
      {"a folder is no program", directory, "SUB", std::nullopt},
      {"no file chosen", directory, "", std::nullopt},
      {"relative directory is the server's own", "M2/", "P1.NC", std::nullopt},
      {"no-contact text as directory", "Ingen kontakt med Orvi-Vedo-server (localhost:50000)",
       "P1.NC", std::nullopt},
      {"another system's path", "D:\\NC\\M2\\", "P1.NC", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(client::ProgramFileSize(row.directory, row.file), row.size);
  }
}

}  // namespace
