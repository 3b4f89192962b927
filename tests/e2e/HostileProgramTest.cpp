// The real client, started by another program with a send, against servers that misbehave in
// the command's call: each run ends its call within the bounds (3 s connect, 5 s reply), gives
// the operator the README's reply text (read back from the transfer journal, which records it),
// ends with the refused status when asked to end, and holds its descriptors, threads and memory.
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "HostileServer.h"
#include "ProcessUsage.h"
#include "Processes.h"
#include "Programs.h"
#include "TempDir.h"
#include "WaitUntil.h"

namespace {

using namespace std::chrono_literals;
using namespace testsupport;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kCap = 64 * 1024;
constexpr auto kConnectBound = 3s;
constexpr auto kReplyBound = 5s;
constexpr auto kSlack = 3s;  // a loaded machine, and a sanitizer build
constexpr const char* kCommand = "SEND;2;P1.NC";

// The request on the connection, looked at without taking it, so that the behaviour for the
// command still finds it; empty when the client leaves first.
std::string PeekRequest(int client, int stopping) {
  char look[512];
  for (;;) {
    pollfd entries[2] = {{client, POLLIN, 0}, {stopping, POLLIN, 0}};
    if (::poll(entries, 2, 10000) <= 0 || entries[1].revents != 0) return {};
    const ssize_t seen = ::recv(client, look, sizeof look, MSG_PEEK);
    if (seen <= 0) return {};
    const std::string bytes(look, static_cast<std::size_t>(seen));
    const auto end = bytes.find("\r\n");
    if (end != std::string::npos) return bytes.substr(0, end);
    if (!Pause(stopping, 5ms)) return {};
  }
}

// The fields of the journal's command line, or nothing yet. A line counts once its LF is
// there: a long line may be read while the client is still writing it.
std::vector<std::string> CommandLine(const std::string& journal) {
  std::ifstream in(journal);
  for (std::string line; std::getline(in, line);) {
    if (in.eof()) break;  // the last line, without its LF yet
    std::vector<std::string> fields;
    std::stringstream parts(line);
    for (std::string field; std::getline(parts, field, '\t');) fields.push_back(field);
    if (fields.size() > 5 && fields[1] == "Kommando") return fields;
  }
  return {};
}

enum class Expect { Line, NoContact, NoAnswer, TooLong, PrefixOf };

struct Row {
  const char* name;
  Behaviour command;  // what the server does with the command's connection
  Expect expect;
  std::string line = {};  // as the journal holds it: CR, LF and TAB become a space
};

std::vector<Row> Rows() {
  return {
      {"silence", [](int client, int stopping) { HoldOpen(client, stopping); }, Expect::NoAnswer},
      {"one byte a second",
       [](int client, int stopping) {
         ReadRequest(client);
         while (Pause(stopping, 1s) && SendAll(client, "x")) {
         }
       },
       Expect::NoAnswer},
      {"10 MB without a line end",
       [](int client, int) {
         ReadRequest(client);
         const std::string block(1 << 20, 'm');
         for (int i = 0; i < 10 && SendAll(client, block); ++i) {
         }
       },
       Expect::TooLong},
      {"zero bytes", Answer({std::string("O\0K\r\n", 5)}), Expect::Line, "O?K"},
      {"a CR alone, then close", Answer({"\r"}), Expect::Line, " "},
      {"a reset in the middle of the line",
       [](int client, int stopping) {
         Answer({"Ikke"})(client, stopping);
         Pause(stopping, 50ms);
         Reset(client);
       },
       Expect::PrefixOf, "Ikke"},
      {"a close before any byte", [](int, int) {}, Expect::Line, ""},
      {"half open: a line without its end, the sending side shut",
       [](int client, int stopping) {
         Answer({"Nei"})(client, stopping);
         ::shutdown(client, SHUT_WR);
         HoldOpen(client, stopping);
       },
       Expect::Line, "Nei"},
      {"a reply split at every byte", Answer(EveryByte("Maskinen svarer ikke\r\n"), 2ms),
       Expect::Line, "Maskinen svarer ikke"},
      {"exactly the cap", Answer({std::string(kCap, 'c') + "\r\n"}), Expect::Line,
       std::string(kCap, 'c')},
      {"one past the cap", Answer({std::string(kCap + 1, 'p') + "\r\n"}), Expect::TooLong},
  };
}

std::string Expected(Expect expect, const std::string& line, int port) {
  const std::string address = "(127.0.0.1:" + std::to_string(port) + ")";
  switch (expect) {
    case Expect::NoContact:
      return "Ingen kontakt med Orvi-Vedo-server " + address;
    case Expect::NoAnswer:
      return "Intet svar fra Orvi-Vedo-server " + address;
    case Expect::TooLong:
      return "For langt svar fra Orvi-Vedo-server " + address;
    case Expect::Line:
    case Expect::PrefixOf:
      break;
  }
  return line;
}

class HostileProgram : public ::testing::Test {
 protected:
  // Starts "VedoTcp SEND 2 P1.NC" (or another command) against the port; its journal beside
  // its INI file.
  pid_t Start(int port, const std::string& command = "SEND") {
    e2e::WriteClientSettings(dir_, "[VedoTcp]\r\nVedoIP=127.0.0.1:" + std::to_string(port) +
                                       "\r\nJournal=journal.tsv\r\n");
    return e2e::StartClient(dir_, {command, "2", "P1.NC"});
  }

  // Waits for the journal's command line; its reply field, or "<none>" at the deadline.
  std::string WaitForReply(std::chrono::milliseconds limit) {
    std::string reply = "<none>";
    testsupport::WaitUntil(
        [&] {
          const auto fields = CommandLine(dir_ / "journal.tsv");
          if (!fields.empty()) reply = fields[5];
          return !fields.empty();
        },
        limit);
    return reply;
  }

  void TearDown() override {
    if (HasFailure()) std::cout << "client output:\n" << ReadFile(dir_ / "client.log");
  }

  TempDir dir_;
};

TEST_F(HostileProgram, CommandCallEndsInItsBoundsWithItsText) {
  for (const Row& row : Rows()) {
    SCOPED_TRACE(row.name);
    std::atomic<long long> commandAt{0};  // steady-clock ticks when the command came
    std::atomic<int> statusCalls{0};
    HostileServer server([&](int client, int stopping) {
      const std::string request = PeekRequest(client, stopping);
      if (request == kCommand) {
        commandAt = Clock::now().time_since_epoch().count();
        return row.command(client, stopping);
      }
      ReadRequest(client);
      if (request == "Knapper;2") SendAll(client, ";SEND;AUTO;\r\n");
      if (request.rfind("Status;", 0) == 0) {
        ++statusCalls;
        SendAll(client, "Dreie 2;P1.NC;Klar;;0;;0\r\n");
      }
    });
    std::filesystem::remove(dir_ / "journal.tsv");
    const pid_t pid = Start(server.Port());
    Child client(pid);

    // Before the command: the program as it stands after its start-up.
    ASSERT_TRUE(testsupport::WaitUntil([&] { return commandAt != 0; }, 20s))
        << "the command never came";
    const testsupport::ProcessUsage before = testsupport::UsageOf(pid);

    const std::string reply = WaitForReply(kReplyBound + kSlack);
    const auto took = Clock::now() - Clock::time_point(Clock::duration(commandAt.load()));
    EXPECT_LT(took, kReplyBound + kSlack);
    if (row.expect == Expect::PrefixOf) {
      EXPECT_EQ(row.line.rfind(reply, 0), 0u) << "reply: " << reply;
    } else {
      EXPECT_EQ(reply, Expected(row.expect, row.line, server.Port()));
    }

    // Ticks go on after the call, each one a connection made and closed again.
    const int seen = statusCalls;
    EXPECT_TRUE(testsupport::WaitUntil([&] { return statusCalls >= seen + 2; }))
        << "the status ticks stopped";
    // A tick's connection may be open at any one moment: a leak is what stays.
    testsupport::ProcessUsage after;
    testsupport::WaitUntil(
        [&] {
          after = testsupport::UsageOf(pid);
          return after.descriptors <= before.descriptors && after.threads <= before.threads;
        },
        5s);
    EXPECT_LE(after.descriptors, before.descriptors) << "descriptors left behind";
    EXPECT_LE(after.threads, before.threads) << "threads left behind";
    if (testsupport::kResidentSizeShowsGrowth) {
      EXPECT_LT(after.residentKib - before.residentKib, 16 * 1024) << "KiB more";
    }

    ::kill(pid, SIGTERM);
    EXPECT_EQ(client.WaitForExit(10s), 1) << "the refused status, not a crash";
  }
}

TEST_F(HostileProgram, RefusedConnectIsNoContact) {
  const testsupport::RefusingPort refusing;
  const int port = refusing.Port();
  // A fetch: with no button list it has no prompt before its call, as a send would have.
  Child client(Start(port, "HENT"));
  EXPECT_EQ(WaitForReply(10s + kSlack), Expected(Expect::NoContact, "", port));
}

TEST_F(HostileProgram, DroppedConnectIsNoContactAtTheConnectBound) {
  HostileServer server({}, 0, false);
  const testsupport::FilledQueue filled(server.Port());
  const auto start = Clock::now();
  Child client(Start(server.Port(), "HENT"));
  // The button list, the first status and the command: three calls, each at the bound.
  EXPECT_EQ(WaitForReply(3 * kConnectBound + 10s), Expected(Expect::NoContact, "", server.Port()));
  EXPECT_GE(Clock::now() - start, 3 * kConnectBound - 100ms) << "the attempts were not dropped";
}

}  // namespace
