#include "TransferWatch.h"

#include <gtest/gtest.h>

#include "TempDir.h"
#include "TransferStatus.h"

namespace {

using client::StatusRecord;
using client::TransferWatch;
using namespace std::chrono_literals;
using testsupport::TransferStatus;

// A watch on a clock that moves a second with every status, and a machine 2 whose directory
// holds a program of 9600 bytes.
class Watch : public ::testing::Test {
 protected:
  Watch() : watch_([this] { return now_; }) { dir_.Write("M2/P1.NC", std::string(9600, 'x')); }
  void Show(const std::string& machine, const StatusRecord& status) {
    now_ += 1s;
    watch_.StatusShown(machine, status);
  }
  std::string Directory() const { return dir_.Path() + "/M2/"; }

  testsupport::TempDir dir_;
  TransferWatch::Clock::time_point now_{};
  TransferWatch watch_;
};

TEST_F(Watch, AcceptedSendIsSizedOnceItsTransferShows) {
  watch_.CommandAnswered("Send;2;P1.NC", "OK");
  Show("2", TransferStatus("Klar", "0"));
  EXPECT_FALSE(watch_.DirectoryWanted("2")) << "not before the transfer shows";
  Show("2", TransferStatus("Sender", "0"));
  EXPECT_FALSE(watch_.DirectoryWanted("3"));
  ASSERT_TRUE(watch_.DirectoryWanted("2"));
  watch_.DirectoryAnswered(Directory());
  EXPECT_FALSE(watch_.DirectoryWanted("2")) << "one look per send";
  Show("2", TransferStatus("Sender", "960"));
  const auto progress = watch_.Progress();
  ASSERT_TRUE(progress && progress->share && progress->timeLeft);
  EXPECT_DOUBLE_EQ(*progress->share, 0.1);
  EXPECT_EQ(*progress->timeLeft, 9s);
}

TEST_F(Watch, WhenNoSizeIsLookedFor) {
  const struct {
    const char* name;
    std::string command;
    std::string reply;
  } rows[] = {
      {"refused send", "Send;2;P1.NC", "Maskinen er opptatt"},
      {"fetch: a program of unknown size", "Hent;2;P1.NC", "OK"},
      {"command line's fetch", "get;2;P1.NC", "OK"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TransferWatch watch;
    watch.CommandAnswered(row.command, row.reply);
    watch.StatusShown("2", TransferStatus("Henter", "0"));
    EXPECT_FALSE(watch.DirectoryWanted("2"));
  }
}

TEST_F(Watch, CommandLineSendInCapitalsIsSizedToo) {
  watch_.CommandAnswered("SEND;2;P1.NC", "OK");
  Show("2", TransferStatus("Sender", "0"));
  EXPECT_TRUE(watch_.DirectoryWanted("2"));
}

TEST_F(Watch, RestartLeavesTheSendWaitingForItsSize) {
  watch_.CommandAnswered("Send;2;P1.NC", "OK");
  watch_.CommandAnswered("Restart;2", "OK");
  Show("2", TransferStatus("Sender", "0"));
  EXPECT_TRUE(watch_.DirectoryWanted("2"));
}

TEST_F(Watch, UnreachableFileOrNoAnswerLeavesTheRateAlone) {
  for (const std::optional<std::string>& directory :
       {std::optional<std::string>(), std::optional<std::string>("D:\\NC\\M2\\"),
        std::optional<std::string>(dir_.Path() + "/M9/")}) {
    SCOPED_TRACE(directory.value_or("(no answer)"));
    TransferWatch watch([this] { return now_ += 1s; });
    watch.CommandAnswered("Send;2;P1.NC", "OK");
    watch.StatusShown("2", TransferStatus("Sender", "0"));
    watch.DirectoryAnswered(directory);
    EXPECT_FALSE(watch.DirectoryWanted("2")) << "no second look";
    watch.StatusShown("2", TransferStatus("Sender", "960"));
    const auto progress = watch.Progress();
    ASSERT_TRUE(progress && progress->bytesPerSecond);
    EXPECT_FALSE(progress->share);
    EXPECT_EQ(client::ProgressText(*progress), "960 B/s");
  }
}

TEST_F(Watch, AnotherMachineForgetsTheTransfer) {
  watch_.CommandAnswered("Send;2;P1.NC", "OK");
  Show("2", TransferStatus("Sender", "0"));
  watch_.MachineSelected();
  EXPECT_FALSE(watch_.Progress());
  Show("3", TransferStatus("Sender", "0"));
  EXPECT_FALSE(watch_.DirectoryWanted("2"));
  EXPECT_FALSE(watch_.DirectoryWanted("3"));
}

TEST_F(Watch, KeptJournalGetsTheCommandsAndTheEnd) {
  const std::string path = dir_ / "journal.tsv";
  watch_.KeepJournal(std::make_unique<client::TransferJournal>(
      path, [](const std::string&, const std::string&) {}));
  watch_.CommandAnswered("Send;2;P1.NC", "OK");
  Show("2", TransferStatus("Sender", "0"));
  Show("2", TransferStatus("Klar", "9600", "1"));
  const std::string journal = testsupport::ReadFile(path);
  EXPECT_NE(journal.find("\tKommando\tSend\t2\tP1.NC\tOK\t"), std::string::npos) << journal;
  EXPECT_NE(journal.find("\tFerdig\tSend\t2\tP1.NC\t\tKlar\t\t\t9600\t"), std::string::npos)
      << journal;
}

}  // namespace
