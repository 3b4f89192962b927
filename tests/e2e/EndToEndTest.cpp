// The real client against the real simulator: started by another program with a command, a
// machine and a file, as the calling program would, with the dialogs answered by key presses.
#include <algorithm>
#include <iostream>

#include <gtest/gtest.h>

#include "Programs.h"
#include "TempDir.h"

namespace {

using namespace std::chrono_literals;
using Requests = std::vector<std::string>;

constexpr const char* kTitle = "Orvi-Vedo fjernstyring";

class EndToEnd : public ::testing::Test {
 protected:
  EndToEnd() : simulator_(dir_.Path(), 20.0) {
    e2e::WriteClientSettings(
        dir_, "[VedoTcp]\r\nVedoIP=127.0.0.1:" + std::to_string(simulator_.Port()) + "\r\n");
  }

  pid_t StartClient(const std::vector<std::string>& arguments, const std::string& display) {
    return e2e::StartClient(dir_, arguments, display);
  }

  // The requests without the status polls, which come every second in any number.
  Requests Commands() const {
    Requests requests = simulator_.Requests();
    requests.erase(std::remove_if(requests.begin(), requests.end(),
                                  [](const std::string& r) { return r.rfind("Status;", 0) == 0; }),
                   requests.end());
    return requests;
  }

  // What the client and the simulator said, for a failure's report.
  void TearDown() override {
    if (!HasFailure()) return;
    std::cout << "client output:\n" << testsupport::ReadFile(dir_ / "client.log") << "requests:\n";
    for (const auto& request : simulator_.Requests()) std::cout << "  " << request << "\n";
  }

  testsupport::TempDir dir_;
  e2e::Simulator simulator_;
};

TEST_F(EndToEnd, SendOnAnAutoMachineClosesItselfWhenDone) {
  testsupport::Child client(StartClient({"SEND", "Dreie 2", "P200.NC"}, ""));
  EXPECT_EQ(client.WaitForExit(30s), 0);
  EXPECT_EQ(Commands(), (Requests{"Maskin;Dreie 2", "Knapper;2", "SEND;2;P200.NC"}));
  const Requests all = simulator_.Requests();
  ASSERT_GE(all.size(), 5u);
  EXPECT_EQ(all[2], "Status;2") << "the status before the command";
  EXPECT_EQ(all[4], "Status;2") << "the status right after its OK";
}

TEST_F(EndToEnd, SendLeavesItsLinesInTheJournal) {
  testsupport::Child client(StartClient({"SEND", "Dreie 2", "P200.NC"}, ""));
  EXPECT_EQ(client.WaitForExit(30s), 0);
  const std::string journal = testsupport::ReadFile(dir_ / "home/.local/state/vedo/journal.tsv");
  EXPECT_EQ(journal.rfind("Tid\tHendelse\t", 0), 0u) << journal;
  EXPECT_NE(journal.find("\tKommando\tSEND\t2\tP200.NC\tOK\t"), std::string::npos) << journal;
  EXPECT_NE(journal.find("\tFerdig\tSEND\t2\tP200.NC\t\tKlar\tOverf\xC3\xB8ring ferdig\tOK\t"),
            std::string::npos)
      << journal;
}

TEST_F(EndToEnd, FetchOnADeleteMachineWaitsForTheOperator) {
  e2e::XServer x;
  testsupport::Child client(StartClient({"HENT", "3", "P100.NC"}, x.Display()));
  ASSERT_TRUE(e2e::PressKeyInWindow(x.Display(), kTitle, "Return")) << "the transfer prompt";
  EXPECT_EQ(client.WaitForExit(30s), 0);
  EXPECT_EQ(Commands(), (Requests{"Knapper;3", "Slett;3;P100.NC", "HENT;3;P100.NC"}));
  EXPECT_NE(testsupport::ReadFile(dir_ / "nc/M3/P100.NC").find("hentet fra styringen"),
            std::string::npos);
}

TEST_F(EndToEnd, SendWithoutAutoAnnouncesTheFileFirst) {
  e2e::XServer x;
  testsupport::Child client(StartClient({"send", "1", "P100.NC"}, x.Display()));
  ASSERT_TRUE(e2e::PressKeyInWindow(x.Display(), kTitle, "Return")) << "the \"Read\" prompt";
  EXPECT_EQ(client.WaitForExit(30s), 0);
  EXPECT_EQ(Commands(), (Requests{"Knapper;1", "Filnavn;1;P100.NC", "send;1;P100.NC"}));
}

TEST_F(EndToEnd, RefusedCommandEndsWithItsExitStatus) {
  e2e::XServer x;
  testsupport::Child client(StartClient({"SEND", "2", "MISSING.NC"}, x.Display()));
  ASSERT_TRUE(e2e::PressKeyInWindow(x.Display(), kTitle, "Return")) << "the refusal";
  // Then the main window shows, and the operator closes it.
  ASSERT_TRUE(e2e::PressKeyInWindow(x.Display(), kTitle, "Escape"));
  EXPECT_EQ(client.WaitForExit(30s), 1);
  EXPECT_EQ(Commands(), (Requests{"Knapper;2", "SEND;2;MISSING.NC"}));
}

}  // namespace
