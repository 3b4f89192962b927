// Halting the simulator's transfers, as a line that stops moving: on its clock, and by signal.
#include <signal.h>

#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "Dnc.h"
#include "Machines.h"
#include "Processes.h"
#include "Protocol.h"
#include "Reply.h"
#include "ServerLink.h"
#include "TempDir.h"
#include "WaitUntil.h"

namespace {

using dncsim::Dnc;
using namespace std::chrono_literals;

class Pause : public ::testing::Test {
 protected:
  Pause() {
    machines_ = dncsim::DefaultMachines(dir_.Path());
    dncsim::PrepareDirectories(machines_);
    dir_.Write("M1/BIG.NC", std::string(96000, 'x'));
    dir_.Write("M2/BIG.NC", std::string(96000, 'x'));
    dnc_ = std::make_unique<Dnc>(machines_, 1.0, [this] { return now_; });
  }
  // The byte count and status of the machine, from its status reply.
  std::pair<std::string, std::string> CountAndStatus(const std::string& machine) {
    std::string reply = dnc_->Answer("Status;" + machine);
    std::string fields[5];
    for (auto& field : fields) field = client::NextField(reply);
    return {fields[4], fields[2]};
  }

  testsupport::TempDir dir_;
  std::vector<dncsim::Machine> machines_;
  Dnc::Clock::time_point now_{};
  std::unique_ptr<Dnc> dnc_;
};

TEST_F(Pause, HaltedTransferKeepsItsCountAndStatusThenGoesOnFromThere) {
  ASSERT_EQ(dnc_->Answer("Send;1;BIG.NC"), "OK");
  now_ += 500ms;  // machine 1: 960 characters a second
  EXPECT_TRUE(dnc_->TogglePause());
  now_ += 60s;
  EXPECT_EQ(CountAndStatus("1"), std::make_pair(std::string("480"), std::string("Sender")));
  EXPECT_FALSE(dnc_->TogglePause());
  EXPECT_EQ(CountAndStatus("1").first, "480") << "the halt did not count as time on the line";
  now_ += 500ms;
  EXPECT_EQ(CountAndStatus("1").first, "960");
}

TEST_F(Pause, TransferBegunWhileHaltedWaitsForTheEndOfTheHalt) {
  EXPECT_TRUE(dnc_->TogglePause());
  ASSERT_EQ(dnc_->Answer("Send;2;BIG.NC"), "OK");
  now_ += 30s;
  EXPECT_EQ(CountAndStatus("2").first, "0");
  EXPECT_FALSE(dnc_->TogglePause());
  now_ += 1s;  // machine 2: 1920 characters a second
  EXPECT_EQ(CountAndStatus("2").first, "1920");
}

TEST_F(Pause, HaltedTransferNeverEndsButARestartDoes) {
  ASSERT_EQ(dnc_->Answer("Send;1;P100.NC"), "OK");
  ASSERT_EQ(dnc_->Answer("Restart;3"), "OK");
  EXPECT_TRUE(dnc_->TogglePause());
  now_ += 1h;
  EXPECT_EQ(CountAndStatus("1").second, "Sender");
  EXPECT_EQ(CountAndStatus("3").second, "Klar");
}

// The simulator's port, from the first line it prints.
std::string WaitForPort(const std::string& output) {
  std::string port;
  testsupport::WaitUntil([&] {
    const std::string text = testsupport::ReadFile(output);
    const auto colon = text.find(':', text.find("listening on"));
    const auto end = text.find('\n', colon);
    if (colon == std::string::npos || end == std::string::npos) return false;
    port = text.substr(colon + 1, end - colon - 1);
    return true;
  });
  return port;
}

bool WaitForText(const std::string& file, const std::string& text) {
  return testsupport::WaitUntil(
      [&] { return testsupport::ReadFile(file).find(text) != std::string::npos; });
}

long Count(const client::ServerLink& link) {
  std::string reply = testsupport::Reply(link, "Status;1");
  std::string field;
  for (int i = 0; i < 5; ++i) field = client::NextField(reply);
  return std::stol(field);
}

TEST(PauseSignal, Sigusr1HaltsTheTransfersAndTheNextLetsThemGoOn) {
  testsupport::TempDir dir;
  dir.Write("nc/M1/BIG.NC", std::string(2000000, 'x'));
  const std::string out = dir / "out";
  const pid_t pid = testsupport::Spawn(
      {DNC_SIM, "--port", "0", "--data", dir / "nc", "--log", dir / "log", "--speed", "100"}, {},
      out);
  testsupport::Child simulator(pid);
  client::ServerLink link;
  link.SetAddress("127.0.0.1:" + WaitForPort(out));
  ASSERT_EQ(testsupport::Reply(link, "Send;1;BIG.NC"), "OK");

  ::kill(pid, SIGUSR1);
  ASSERT_TRUE(WaitForText(out, "dnc-sim: transfers halted"));
  const long halted = Count(link);
  // 96000 characters a second at this speed: any movement shows at once.
  const auto watchUntil = std::chrono::steady_clock::now() + 300ms;
  while (std::chrono::steady_clock::now() < watchUntil) ASSERT_EQ(Count(link), halted);

  ::kill(pid, SIGUSR1);
  ASSERT_TRUE(WaitForText(out, "dnc-sim: transfers go on"));
  EXPECT_TRUE(testsupport::WaitUntil([&] { return Count(link) > halted; }))
      << "the transfer went on";

  ::kill(pid, SIGTERM);
  EXPECT_EQ(simulator.WaitForExit(10s), 0) << "the signal thread ends with the program";
}

}  // namespace
