// ServerLink against servers that misbehave in every way a peer can: silent, dripping, endless,
// resetting, half closed, refusing, dropping, hoarding connections. Every call ends within its
// bounds with the reply text the README names, and leaves no descriptor, thread or memory behind.
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "Connection.h"
#include "HostileServer.h"
#include "ProcessUsage.h"
#include "Reply.h"
#include "ServerLink.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using client::ServerLimits;
using client::ServerLink;
using namespace testsupport;

std::size_t OpenDescriptors() { return OwnUsage().descriptors; }
std::size_t Threads() { return OwnUsage().threads; }
long ResidentKib() { return OwnUsage().residentKib; }

// ---- The table -------------------------------------------------------------------------------

constexpr std::size_t kCap = 64;
const ServerLimits kLimits{500ms, 800ms, kCap};
// Time a call may take beyond its bounds on a loaded machine.
constexpr auto kSlack = 1500ms;

// EmptyOrNoContact: a connection cut as it is accepted may reach the client before its connect
// has been seen to succeed, and then it is no contact; either is the truth.
enum class Expect { Line, NoContact, NoAnswer, TooLong, PrefixOf, EmptyOrNoContact };

struct Row {
  const char* name;
  Behaviour behaviour;
  Expect expect;
  std::string line = {};  // the reply for Line, the longest reply for PrefixOf
  ServerLimits limits = kLimits;
};

std::string Text(const ServerLink& link, Expect expect, const std::string& line) {
  switch (expect) {
    case Expect::NoContact:
      return link.NoContactReply();
    case Expect::NoAnswer:
      return link.NoAnswerReply();
    case Expect::TooLong:
      return link.TooLongReply();
    case Expect::Line:
    case Expect::PrefixOf:
    case Expect::EmptyOrNoContact:
      break;
  }
  return line;
}

void Check(const Row& row, int port) {
  ServerLink link;
  link.SetHost("127.0.0.1");
  link.SetPort(std::to_string(port));
  link.SetLimits(row.limits);
  const auto start = Clock::now();
  const std::string reply = testsupport::Reply(link, "Status;1");
  const auto took = Clock::now() - start;
  EXPECT_LT(took, row.limits.connect + row.limits.reply + kSlack);
  if (row.expect == Expect::PrefixOf) {
    EXPECT_EQ(row.line.rfind(reply, 0), 0u) << "reply: " << reply;
  } else if (row.expect == Expect::EmptyOrNoContact) {
    EXPECT_TRUE(reply.empty() || reply == link.NoContactReply()) << "reply: " << reply;
  } else {
    EXPECT_EQ(reply, Text(link, row.expect, row.line));
  }
  EXPECT_LE(reply.size(), std::max(row.limits.maxReply, link.TooLongReply().size()));
  EXPECT_EQ(reply.find('\0'), std::string::npos);
}

std::vector<Row> Rows() {
  const std::string atCap(kCap, 'c');
  const std::string pastCap(kCap + 1, 'p');
  return {
      {"silence", [](int client, int stopping) { HoldOpen(client, stopping); }, Expect::NoAnswer},
      {"silence after reading the request",
       [](int client, int stopping) {
         ReadRequest(client);
         HoldOpen(client, stopping);
       },
       Expect::NoAnswer},
      {"one byte a second, bounded by the reply deadline",
       [](int client, int stopping) {
         NoDelay(client);
         ReadRequest(client);
         while (Pause(stopping, 1s) && SendAll(client, "x")) {
         }
       },
       Expect::NoAnswer,
       "",
       {500ms, 2500ms, kCap}},
      {"10 MB without a line end",
       [](int client, int) {
         ReadRequest(client);
         const std::string block(1 << 20, 'm');
         for (int i = 0; i < 10 && SendAll(client, block); ++i) {
         }
       },
       Expect::TooLong,
       "",
       {500ms, 5000ms, 64 * 1024}},
      {"10 MB after the line", Answer({"OK\r\n", std::string(10 << 20, 'a')}), Expect::Line, "OK"},
      {"zero bytes only", Answer({std::string(3, '\0') + "\r\n"}), Expect::Line, "???"},
      {"zero bytes inside", Answer({std::string("O\0K\r\n", 5)}), Expect::Line, "O?K"},
      {"a CR alone, then close", Answer({"\r"}), Expect::Line, "\r"},
      {"a CR alone, then silence",
       [](int client, int stopping) {
         Answer({"\r"})(client, stopping);
         HoldOpen(client, stopping);
       },
       Expect::NoAnswer},
      {"a reset in the middle of the line",
       [](int client, int stopping) {
         Answer({"Sta"})(client, stopping);
         Pause(stopping, 50ms);
         Reset(client);
       },
       Expect::PrefixOf, "Sta"},
      {"a reset before any byte",
       [](int client, int) {
         ReadRequest(client);
         Reset(client);
       },
       Expect::Line, ""},
      {"a close before any byte", [](int, int) {}, Expect::Line, ""},
      {"a close before reading the request", [](int client, int) { Reset(client); },
       Expect::EmptyOrNoContact},
      {"half open: the line, then its sending side shut, the socket kept",
       [](int client, int stopping) {
         Answer({"OK"})(client, stopping);
         ::shutdown(client, SHUT_WR);
         HoldOpen(client, stopping);
       },
       Expect::Line, "OK"},
      {"half open: never reads, never writes", [](int, int stopping) { Pause(stopping, 60s); },
       Expect::NoAnswer},
      {"a reply split at every byte", Answer(EveryByte("Fres 1;P1.NC;Klar;;12;OK;1\r\n"), 2ms),
       Expect::Line, "Fres 1;P1.NC;Klar;;12;OK;1"},
      {"a line of exactly the cap", Answer({atCap + "\r\n"}), Expect::Line, atCap},
      {"a line of exactly the cap, CR and LF in two reads", Answer({atCap + "\r", "\n"}, 50ms),
       Expect::Line, atCap},
      {"a line of exactly the cap, at every byte", Answer(EveryByte(atCap + "\r\n"), 1ms),
       Expect::Line, atCap},
      {"a line of exactly the cap, then close", Answer({atCap}), Expect::Line, atCap},
      {"one past the cap", Answer({pastCap + "\r\n"}), Expect::TooLong},
      {"one past the cap, CR and LF in two reads", Answer({pastCap + "\r", "\n"}, 50ms),
       Expect::TooLong},
      {"one past the cap, at every byte", Answer(EveryByte(pastCap + "\r\n"), 1ms),
       Expect::TooLong},
      {"one past the cap, then close", Answer({pastCap}), Expect::TooLong},
      {"the cap and a CR, then close", Answer({atCap + "\r"}), Expect::TooLong},
      {"a two-byte line with a cap of one",
       Answer({"ab\r\n"}),
       Expect::TooLong,
       "",
       {500ms, 800ms, 1}},
  };
}

TEST(HostileServer, EveryCallEndsInItsBoundsWithItsText) {
  const std::size_t descriptors = OpenDescriptors();
  const std::size_t threads = Threads();
  for (const Row& row : Rows()) {
    SCOPED_TRACE(row.name);
    HostileServer server(row.behaviour);
    Check(row, server.Port());
  }
  EXPECT_EQ(OpenDescriptors(), descriptors);
  EXPECT_EQ(Threads(), threads);
}

// A port where nothing listens: bound, never listened on, so nobody else takes it.
TEST(HostileServer, RefusedConnectIsNoContactAtOnce) {
  const testsupport::RefusingPort port;
  const std::size_t descriptors = OpenDescriptors();
  const Row row{"refused", {}, Expect::NoContact};
  const auto start = Clock::now();
  Check(row, port.Port());
  EXPECT_LT(Clock::now() - start, kLimits.connect);
  EXPECT_EQ(OpenDescriptors(), descriptors);
}

// A listener that never accepts, with its queue full: the kernel drops further connection
// attempts, which then hang until the connect bound.
TEST(HostileServer, DroppedConnectIsNoContactAtTheConnectBound) {
  HostileServer server({}, 0, false);
  const testsupport::FilledQueue filled(server.Port());
  const std::size_t descriptors = OpenDescriptors();
  const Row row{"dropped", {}, Expect::NoContact};
  const auto start = Clock::now();
  Check(row, server.Port());
  EXPECT_GE(Clock::now() - start, kLimits.connect - 50ms) << "the attempt was not dropped";
  EXPECT_EQ(OpenDescriptors(), descriptors);
}

// Thousands of connections accepted, none answered, from several callers at once.
TEST(HostileServer, ThousandsOfConnectionsAnsweredByNone) {
  const std::size_t descriptors = OpenDescriptors();
  const std::size_t threads = Threads();
  const long memory = ResidentKib();
  constexpr int kCallers = 8;
  constexpr int kCallsEach = 250;
  std::atomic<int> noAnswer{0};
  {
    HostileServer server([](int client, int stopping) { HoldOpen(client, stopping); });
    std::vector<std::thread> callers;
    for (int c = 0; c < kCallers; ++c) {
      callers.emplace_back([&] {
        ServerLink link;
        link.SetHost("127.0.0.1");
        link.SetPort(std::to_string(server.Port()));
        link.SetLimits({500ms, 10ms, kCap});
        for (int i = 0; i < kCallsEach; ++i) {
          if (testsupport::Reply(link, "Status;1") == link.NoAnswerReply()) ++noAnswer;
        }
      });
    }
    for (auto& caller : callers) caller.join();
    EXPECT_EQ(server.Accepted(), kCallers * kCallsEach);
  }
  EXPECT_EQ(noAnswer, kCallers * kCallsEach);
  EXPECT_EQ(OpenDescriptors(), descriptors);
  EXPECT_EQ(Threads(), threads);
  if (kResidentSizeShowsGrowth) {
    EXPECT_LT(ResidentKib() - memory, 32 * 1024) << "KiB more after the calls";
  }
}

// The endless line, again and again: the cap holds memory, not only the reply's length.
TEST(HostileServer, EndlessLinesDoNotGrowMemory) {
  HostileServer server([](int client, int) {
    ReadRequest(client);
    const std::string block(1 << 20, 'm');
    for (int i = 0; i < 10 && SendAll(client, block); ++i) {
    }
  });
  ServerLink link;
  link.SetHost("127.0.0.1");
  link.SetPort(std::to_string(server.Port()));
  link.SetLimits({500ms, 5000ms, 64 * 1024});
  ASSERT_EQ(testsupport::Reply(link, "Status;1"),
            link.TooLongReply());  // the first settles the allocator
  const long memory = ResidentKib();
  for (int i = 0; i < 20; ++i) ASSERT_EQ(testsupport::Reply(link, "Status;1"), link.TooLongReply());
  if (kResidentSizeShowsGrowth) {
    EXPECT_LT(ResidentKib() - memory, 8 * 1024) << "KiB more after 20 calls of 10 MB each";
  }
}

// A call given up from another thread ends at once, whatever the server does.
TEST(HostileServer, CancelEndsASilentCallAtOnce) {
  HostileServer server([](int client, int stopping) { HoldOpen(client, stopping); });
  ServerLink link;
  link.SetHost("127.0.0.1");
  link.SetPort(std::to_string(server.Port()));
  link.SetLimits({500ms, 30s, kCap});
  platform::CancelSignal cancel;
  // Given up once the server holds the connection, while the call waits for its line.
  std::thread canceller([&] {
    const auto deadline = Clock::now() + 10s;
    while (server.Accepted() == 0 && Clock::now() < deadline) std::this_thread::yield();
    cancel.Cancel();
  });
  const auto start = Clock::now();
  const client::CallResult result = link.Exchange("Status;1", cancel);
  canceller.join();
  EXPECT_EQ(result.outcome, client::CallOutcome::Cancelled);
  EXPECT_LT(Clock::now() - start, 2s);
}

}  // namespace
