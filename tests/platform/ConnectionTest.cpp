// The connection seam on the system's own sockets: what the exchange relies on, on every system.
#include "Connection.h"

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using platform::CancelSignal;
using platform::Deadline;
using platform::Ipv4Address;
using platform::TcpConnection;
using platform::TcpListener;
using platform::WaitEnd;

Deadline In(std::chrono::milliseconds span) { return std::chrono::steady_clock::now() + span; }

const Ipv4Address kLoopback{127, 0, 0, 1};

TEST(ParseIpv4, ReadsDottedTextAsInetAtonDoes) {
  const struct {
    const char* name;
    const char* text;
    std::optional<Ipv4Address> expected;
  } rows[] = {
      {"four parts", "10.0.0.5", Ipv4Address{10, 0, 0, 5}},
      {"two parts, the last fills three bytes", "127.1", Ipv4Address{127, 0, 0, 1}},
      {"three parts, the last fills two bytes", "10.1.258", Ipv4Address{10, 1, 1, 2}},
      {"one part is the whole address", "2130706433", Ipv4Address{127, 0, 0, 1}},
      {"hexadecimal part", "0x7f.1", Ipv4Address{127, 0, 0, 1}},
      {"octal part", "010.0.0.1", Ipv4Address{8, 0, 0, 1}},
      {"blank space may end the text", "1.2.3.4 rest", Ipv4Address{1, 2, 3, 4}},
      {"broadcast", "255.255.255.255", Ipv4Address{255, 255, 255, 255}},
      {"a part above 255", "256.0.0.1", std::nullopt},
      {"last part too wide for its bytes", "1.2.3.256", std::nullopt},
      {"five parts", "1.2.3.4.5", std::nullopt},
      {"8 is no octal digit", "08.0.0.1", std::nullopt},
      {"empty part", "1..2.3", std::nullopt},
      {"ends with a dot", "1.2.3.", std::nullopt},
      {"letters after the digits", "1.2.3.4x", std::nullopt},
      {"beyond 32 bits", "4294967296", std::nullopt},
      {"empty text", "", std::nullopt},
      {"leading blank", " 1.2.3.4", std::nullopt},
      {"a name", "localhost", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(platform::ParseIpv4(row.text), row.expected);
  }
}

TEST(LookUp, FindsLoopbackNamesAndServices) {
  CancelSignal cancel;
  EXPECT_EQ(platform::LookUpIpv4("localhost", In(5s), cancel), kLoopback);
  EXPECT_EQ(platform::LookUpService("ftp"), 21);
  EXPECT_EQ(platform::LookUpService("no-such-service-here"), std::nullopt);
}

TEST(LookUp, ASetSignalGivesNothingAtOnce) {
  CancelSignal cancel;
  cancel.Cancel();
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(platform::LookUpIpv4("localhost", platform::kNoDeadline, cancel), std::nullopt);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
}

TEST(CancelSignal, StaysSetUntilReset) {
  CancelSignal cancel;
  EXPECT_FALSE(cancel.Cancelled());
  cancel.Cancel();
  EXPECT_TRUE(cancel.Cancelled());
  EXPECT_TRUE(cancel.Cancelled());
  cancel.Reset();
  EXPECT_FALSE(cancel.Cancelled());
}

// A listener on a free loopback port with one accepted connection.
struct ConnectedPair {
  ConnectedPair() : listener("127.0.0.1", 0) {
    EXPECT_EQ(client.Connect(kLoopback, listener.Port(), In(5s), cancel), WaitEnd::Ready);
    WaitEnd end{};
    server = listener.Accept(In(5s), cancel, end);
    EXPECT_EQ(end, WaitEnd::Ready);
  }
  CancelSignal cancel;
  TcpListener listener;
  TcpConnection client;
  std::unique_ptr<TcpConnection> server;
};

TEST(TcpConnection, PeekShowsBytesThatConsumeAndReceiveThenTake) {
  ConnectedPair pair;
  ASSERT_NE(pair.server, nullptr);
  ASSERT_EQ(pair.client.Send("Status;1\r\nrest", In(5s), pair.cancel), WaitEnd::Ready);

  char buffer[64] = {};
  std::size_t seen = 0;
  // The bytes may come in parts; look until all of them are there.
  const auto deadline = In(5s);
  do {
    ASSERT_EQ(pair.server->Peek(buffer, sizeof buffer, seen, deadline, pair.cancel),
              WaitEnd::Ready);
  } while (seen < 14);
  EXPECT_EQ(std::string(buffer, seen), "Status;1\r\nrest");
  ASSERT_TRUE(pair.server->Consume(10));

  std::size_t got = 0;
  ASSERT_EQ(pair.server->Receive(buffer, sizeof buffer, got, In(5s), pair.cancel), WaitEnd::Ready);
  EXPECT_EQ(std::string(buffer, got), "rest");
}

TEST(TcpConnection, ShutdownSendingEndsThePeersStream) {
  ConnectedPair pair;
  ASSERT_NE(pair.server, nullptr);
  pair.server->ShutdownSending();
  char buffer[8];
  std::size_t seen = 99;
  EXPECT_EQ(pair.client.Peek(buffer, sizeof buffer, seen, In(5s), pair.cancel), WaitEnd::Ready);
  EXPECT_EQ(seen, 0u);
  // The other direction stays open.
  EXPECT_EQ(pair.client.Send("x", In(5s), pair.cancel), WaitEnd::Ready);
}

TEST(TcpConnection, APeerThatLeavesEndsTheStream) {
  ConnectedPair pair;
  ASSERT_NE(pair.server, nullptr);
  pair.server.reset();
  char buffer[8];
  std::size_t got = 99;
  const WaitEnd end = pair.client.Receive(buffer, sizeof buffer, got, In(5s), pair.cancel);
  // An orderly close reads as the end; a reset as a failure. Both end the wait.
  EXPECT_TRUE((end == WaitEnd::Ready && got == 0) || end == WaitEnd::Failed);
}

TEST(TcpConnection, WaitsEndAtTheDeadline) {
  ConnectedPair pair;
  ASSERT_NE(pair.server, nullptr);
  char buffer[8];
  std::size_t got = 0;
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(pair.client.Receive(buffer, sizeof buffer, got, In(200ms), pair.cancel),
            WaitEnd::TimedOut);
  const auto waited = std::chrono::steady_clock::now() - started;
  EXPECT_GE(waited, 190ms);
  EXPECT_LT(waited, 5s);
}

TEST(TcpConnection, TheSignalEndsAWaitFromAnotherThread) {
  ConnectedPair pair;
  ASSERT_NE(pair.server, nullptr);
  CancelSignal cancel;
  std::thread canceller([&] {
    std::this_thread::sleep_for(100ms);
    cancel.Cancel();
  });
  char buffer[8];
  std::size_t seen = 0;
  EXPECT_EQ(pair.client.Peek(buffer, sizeof buffer, seen, platform::kNoDeadline, cancel),
            WaitEnd::Cancelled);
  canceller.join();
  // A set signal keeps every later wait from starting.
  EXPECT_EQ(pair.client.Send("x", platform::kNoDeadline, cancel), WaitEnd::Cancelled);
  WaitEnd end{};
  EXPECT_EQ(pair.listener.Accept(platform::kNoDeadline, cancel, end), nullptr);
  EXPECT_EQ(end, WaitEnd::Cancelled);
}

TEST(TcpConnection, PeerTextNamesAddressAndPort) {
  ConnectedPair pair;
  ASSERT_NE(pair.server, nullptr);
  EXPECT_EQ(pair.client.PeerText(), "127.0.0.1:" + std::to_string(pair.listener.Port()));
  EXPECT_EQ(TcpConnection().PeerText(), "");
}

TEST(TcpConnection, NobodyListeningFails) {
  std::uint16_t port = 0;
  {
    TcpListener gone("127.0.0.1", 0);
    port = gone.Port();
  }
  CancelSignal cancel;
  TcpConnection connection;
  EXPECT_EQ(connection.Connect(kLoopback, port, In(10s), cancel), WaitEnd::Failed);
}

TEST(TcpListener, RefusesAnAddressItCannotTake) {
  TcpListener first("127.0.0.1", 0);
  EXPECT_THROW(TcpListener("127.0.0.1", first.Port()), std::runtime_error);
  EXPECT_THROW(TcpListener("not-an-address", 0), std::runtime_error);
}

TEST(TcpListener, AcceptEndsAtTheDeadline) {
  TcpListener listener("127.0.0.1", 0);
  CancelSignal cancel;
  WaitEnd end{};
  EXPECT_EQ(listener.Accept(In(100ms), cancel, end), nullptr);
  EXPECT_EQ(end, WaitEnd::TimedOut);
}

}  // namespace
