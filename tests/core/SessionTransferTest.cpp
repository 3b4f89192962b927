// What the session shows and records of a transfer: the progress after each status, the one
// look at the directory that sizes a send, made from the timer's tick and never inside a
// command's sequence, and the journal's lines.
#include <atomic>

#include <gtest/gtest.h>

#include "FakePrompts.h"
#include "MachineSession.h"
#include "ModuleState.h"
#include "ScriptedServer.h"
#include "TempDir.h"
#include "Util.h"
#include "WaitUntil.h"

namespace {

using Requests = std::vector<std::string>;

class ProgressView : public client::SessionView {
 public:
  void ShowStatus(const client::StatusRecord&) override {}
  void ShowProgress(const std::optional<client::ProgressView>& shown) override { progress = shown; }
  void EnableCommands(bool, bool, bool) override {}
  void HideMachineChoice() override {}
  void StartRefresh() override {}
  void CloseWindow() override {
    if (onClose) onClose();
  }
  std::optional<client::ProgressView> progress;
  std::function<void()> onClose;
};

// Machine 3 sends without prompts; while sending, every status request finds 960 more bytes,
// until `doneAfter` status requests.
class SessionTransfers : public ::testing::Test {
 protected:
  SessionTransfers() : server_([this](const std::string& request) { return Answer(request); }) {
    dir_.Write("nc/m3/P1.NC", std::string(96000, 'x'));
    util::detail::State().iniFile =
        dir_.Write("Vedo.ini", "[VedoTcp]\r\nVedoIP=" + server_.Address() + "\r\n");
  }
  ~SessionTransfers() override { util::StopModule(); }

  testsupport::ScriptedReply Answer(const std::string& request) {
    if (request == "Knapper;3") return testsupport::ScriptedReply::Line(";SEND;HENT;AUTO;");
    if (request == "Maskin-Les;3;Katalog;") return testsupport::ScriptedReply::Line(directory_);
    if (request == "Status;3") {
      if (!sending_) return testsupport::ScriptedReply::Line("Fres 3;P1.NC;Klar;;0;;0");
      const int count = ++statuses_;
      if (count > doneAfter_) {
        return testsupport::ScriptedReply::Line("Fres 3;P1.NC;Klar;Ferdig;96000;OK;1");
      }
      return testsupport::ScriptedReply::Line("Fres 3;P1.NC;Sender;;" +
                                              std::to_string(960 * (count - 1)) + ";;0");
    }
    if (request == "Send;3;P1.NC" || request == "SEND;3;P1.NC") sending_ = true;
    return testsupport::ScriptedReply::Line("OK");
  }

  std::unique_ptr<client::MachineSession> Session(const std::vector<std::string>& arguments,
                                                  client::FileWorker* files = nullptr) {
    auto session = std::make_unique<client::MachineSession>(arguments, prompts_, runner_,
                                                            client::ServerLimits{}, files);
    session->ShowOn(&view_);
    session->SelectMachine(server_.Address(), "3", "P1.NC");
    server_.ClearRequests();
    return session;
  }

  testsupport::TempDir dir_;
  std::string directory_ = dir_ / "nc/m3/";
  std::atomic<bool> sending_{false};
  std::atomic<int> statuses_{0};
  int doneAfter_ = 1000;
  testsupport::ScriptedServer server_;
  testsupport::FakePrompts prompts_;
  client::DirectCallRunner runner_;
  ProgressView view_;
};

TEST_F(SessionTransfers, SendIsSizedFromTheTickAfterItsSequence) {
  auto session = Session({"3"});
  session->SendProgram();
  EXPECT_EQ(server_.Requests(), (Requests{"Send;3;P1.NC", "Status;3"}))
      << "the command's sequence is as it was";
  ASSERT_TRUE(view_.progress) << "the transfer shows from the refresh after the reply";
  EXPECT_FALSE(view_.progress->share);

  server_.ClearRequests();
  session->TimerTick();
  EXPECT_EQ(server_.Requests(), (Requests{"Status;3", "Maskin-Les;3;Katalog;"}));
  ASSERT_TRUE(view_.progress && view_.progress->share);
  EXPECT_DOUBLE_EQ(*view_.progress->share, 0.01);

  server_.ClearRequests();
  session->TimerTick();
  EXPECT_EQ(server_.Requests(), (Requests{"Status;3"})) << "one look per send";
  EXPECT_DOUBLE_EQ(*view_.progress->share, 0.02);
}

// A share that does not answer holds up the size, never the tick.
TEST_F(SessionTransfers, SizeLookedUpOnTheFileWorkerShowsFromTheNextStatus) {
  client::FileWorker files(std::chrono::milliseconds(100));
  std::atomic<bool> released{false};
  files.Post([&] { testsupport::WaitUntil([&] { return released.load(); }); });
  auto session = Session({"3"}, &files);
  session->SendProgram();
  session->TimerTick();
  ASSERT_TRUE(view_.progress);
  EXPECT_FALSE(view_.progress->share) << "the look-up still waits behind the hung one";

  released = true;
  ASSERT_TRUE(files.Drain(std::chrono::seconds(10)));
  session->TimerTick();
  ASSERT_TRUE(view_.progress && view_.progress->share);
  EXPECT_DOUBLE_EQ(*view_.progress->share, 0.02);
}

TEST_F(SessionTransfers, DirectCallsOfTheRefreshNeverLookAtTheDirectory) {
  auto session = Session({"3"});
  session->SendProgram();
  server_.ClearRequests();
  session->OppfriskTimerTimer();
  EXPECT_EQ(server_.Requests(), (Requests{"Status;3"}));
}

TEST_F(SessionTransfers, ProgramOutOfReachShowsTheRateOnly) {
  directory_ = "/nowhere/m3/";
  auto session = Session({"3"});
  session->SendProgram();
  session->TimerTick();
  session->TimerTick();
  EXPECT_EQ(server_.Requests(), (Requests{"Send;3;P1.NC", "Status;3", "Status;3",
                                          "Maskin-Les;3;Katalog;", "Status;3"}));
  ASSERT_TRUE(view_.progress);
  EXPECT_FALSE(view_.progress->share) << "the bar goes on with the rate alone";
}

TEST_F(SessionTransfers, DoneFlagClearsTheBar) {
  doneAfter_ = 2;
  auto session = Session({"3"});
  session->SendProgram();
  session->TimerTick();
  EXPECT_TRUE(view_.progress);
  session->TimerTick();
  EXPECT_FALSE(view_.progress);
}

TEST_F(SessionTransfers, JournalHasTheEndBeforeTheWindowCloses) {
  doneAfter_ = 2;
  const std::string journal = dir_ / "journal.tsv";
  std::string atClose;
  view_.onClose = [&] { atClose = testsupport::ReadFile(journal); };
  auto session = Session({"SEND", "3", "P1.NC"});
  session->KeepJournal(std::make_unique<client::TransferJournal>(
      journal, [](const std::string&, const std::string&) {}));
  session->HandleCommand("SEND;3;P1.NC");
  session->TimerTick();
  session->TimerTick();
  EXPECT_NE(atClose.find("\tKommando\tSEND\t3\tP1.NC\tOK\t"), std::string::npos) << atClose;
  EXPECT_NE(atClose.find("\tFerdig\tSEND\t3\tP1.NC\t\tKlar\tFerdig\tOK\t96000\t"),
            std::string::npos)
      << atClose;
}

TEST_F(SessionTransfers, RestartIsJournalled) {
  const std::string journal = dir_ / "journal.tsv";
  auto session = Session({"3"});
  session->KeepJournal(std::make_unique<client::TransferJournal>(
      journal, [](const std::string&, const std::string&) {}));
  session->RestartMachine();
  EXPECT_EQ(server_.Requests(), (Requests{"Restart;3", "Status;3"}));
  EXPECT_NE(testsupport::ReadFile(journal).find("\tKommando\tRestart\t3\t\tOK\t"),
            std::string::npos);
}

}  // namespace
