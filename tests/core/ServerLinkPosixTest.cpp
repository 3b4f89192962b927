// The exchange's checks that look at the process's own descriptors (/proc), and the name-server
// case that needs a network namespace: POSIX-only by design.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "HostileServer.h"
#include "LinkTo.h"
#include "ProcessUsage.h"
#include "Processes.h"
#include "Reply.h"
#include "ScriptedServer.h"
#include "ServerLink.h"
#include "TempDir.h"

namespace {

using client::ServerLink;
using namespace std::chrono_literals;
using testsupport::LinkTo;
using testsupport::ScriptedReply;
using testsupport::ScriptedServer;

std::size_t OpenDescriptors() { return testsupport::OwnUsage().descriptors; }

// A name that cannot be looked up is left out: its look-up asks the system's name server, and
// one abandoned at the bound keeps its socket until the resolver gives up.
TEST(ServerCall, NoContactTextsAndNoDescriptorLeft) {
  const testsupport::RefusingPort refusing;
  const std::string closed = std::to_string(refusing.Port());
  ServerLink link;
  link.SetLimits({500ms, 500ms, 1024});
  const struct {
    std::string host;
    std::string port;
    std::string expected;
  } rows[] = {
      {"127.0.0.1", closed, "Ingen kontakt med Orvi-Vedo-server (127.0.0.1:" + closed + ")"},
      {"localhost", closed, "Ingen kontakt med Orvi-Vedo-server (localhost:" + closed + ")"},
      {"1.2.3.4.5", "50000", "Ingen kontakt med Orvi-Vedo-server (1.2.3.4.5:50000)"},
      {"127.0.0.1", "70000", "Ingen kontakt med Orvi-Vedo-server (127.0.0.1:70000)"},
      {"127.0.0.1", "", "Ingen kontakt med Orvi-Vedo-server (127.0.0.1:)"},
  };
  const std::size_t before = OpenDescriptors();
  for (int round = 0; round < 50; ++round) {
    for (const auto& row : rows) {
      SCOPED_TRACE(row.host + ":" + row.port);
      link.SetHost(row.host);
      link.SetPort(row.port);
      ASSERT_EQ(testsupport::Reply(link, "Status;1"), row.expected);
    }
  }
  EXPECT_EQ(OpenDescriptors(), before);
}

// Sockets of this process connected to the port: the client's side of its calls (the
// in-process server's side has the port as its own address, not as its peer's).
int SocketsConnectedTo(int port) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    const int fd = std::stoi(entry.path().filename().string());
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) == 0 &&
        peer.sin_family == AF_INET && ntohs(peer.sin_port) == port) {
      ++count;
    }
  }
  return count;
}

TEST(ServerCall, ManyCallsLeaveNoConnectionOpen) {
  const struct {
    const char* name;
    ScriptedReply reply;
  } rows[] = {
      {"answered", ScriptedReply::Line("M;P;S;M;1;R;0")},
      {"bytes left unread", ScriptedReply::Bytes("OK\r\n" + std::string(3000, 'x'))},
      {"closed early", {{}, false, true}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptedServer server([&](const std::string&) { return row.reply; });
    const ServerLink link = LinkTo(server);
    for (int i = 0; i < 100; ++i) {
      testsupport::Reply(link, "Status;1");
      ASSERT_EQ(SocketsConnectedTo(server.Port()), 0) << "after call " << i;
    }
  }
}

TEST(ServerCall, NameServerThatNeverAnswersIsBoundedToo) {
  testsupport::TempDir dir;
  const auto result = testsupport::RunProgram(SILENT_NAME_SERVER_PROBE, {dir / "resolv.conf"}, {});
  if (result.status == 77) GTEST_SKIP() << "no network namespaces here";
  ASSERT_EQ(result.status, 0);
  const auto newline = result.output.find('\n');
  EXPECT_EQ(result.output.substr(0, newline),
            "Ingen kontakt med Orvi-Vedo-server (vedo-server.invalid:50000)");
  // The resolver alone would have waited 30 s.
  EXPECT_LT(std::stoi(result.output.substr(newline + 1)), 10000);
}

}  // namespace
