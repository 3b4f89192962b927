#include "Protocol.h"
#include "Reply.h"
#include "ServerLink.h"

#include <cstdio>

#include <gtest/gtest.h>

#include "Connection.h"
#include "LinkTo.h"
#include "ScriptedServer.h"

namespace {

using client::ServerLink;
using namespace std::chrono_literals;
using testsupport::LinkTo;
using testsupport::ScriptedReply;
using testsupport::ScriptedServer;

using Chunk = ScriptedReply::Chunk;

struct ReplyRow {
  const char* name;
  ScriptedReply reply;
  std::string expected;  // "<no answer>" / "<too long>": our own texts
};

TEST(ServerCall, ReadsTheReplyLineByteForByte) {
  const std::string long510(510, 'a');
  const ReplyRow rows[] = {
      {"CR LF in one read", ScriptedReply::Bytes("OK\r\n"), "OK"},
      {"bytes after CR LF stay unread", ScriptedReply::Bytes("OK\r\nrest"), "OK"},
      {"CR and LF in different reads", {{{"OK\r", 0ms}, {"\nrest", 150ms}}}, "OK"},
      {"CR LF across reads after a long line",
       {{{std::string(600, 'x') + "\r", 0ms}, {"\n", 150ms}}},
       std::string(600, 'x')},
      {"CR at the 511-byte boundary, LF in the next look",
       ScriptedReply::Bytes(long510 + "\r\nafter"), long510},
      {"line longer than one look", ScriptedReply::Bytes(std::string(1500, 'b') + "\r\n"),
       std::string(1500, 'b')},
      {"only CR LF", ScriptedReply::Bytes("\r\n"), ""},
      {"close without CR LF", ScriptedReply::Bytes("OK"), "OK"},
      {"close without anything", {{}, false, true}, ""},
      {"lone CR is part of the reply", ScriptedReply::Bytes("a\rb\r\n"), "a\rb"},
      {"LF alone does not end the line", ScriptedReply::Bytes("a\nb\r\n"), "a\nb"},
      {"CR CR LF", ScriptedReply::Bytes("a\r\r\n"), "a\r"},
      {"zero byte shows as ?", ScriptedReply::Bytes(std::string("O\0K\r\n", 5)), "O?K"},
      {"reply kept in cp1252", ScriptedReply::Bytes("Feil p\xE5 maskin\r\n"), "Feil p\xE5 maskin"},
      {"never answering", {{}, true}, "<no answer>"},
      {"line that never ends",
       {{{std::string(1000, 'z'), 0ms}}, false, false, true},
       "<no answer>"},
      {"over the cap", ScriptedReply::Bytes(std::string(5000, 'c') + "\r\n"), "<too long>"},
      {"one past the cap, its end in the same read",
       ScriptedReply::Bytes(std::string(2049, 'c') + "\r\n"), "<too long>"},
      {"exactly the cap", ScriptedReply::Bytes(std::string(2048, 'd') + "\r\n"),
       std::string(2048, 'd')},
      {"exactly the cap, CR ending one read and LF beginning the next",
       {{{std::string(2048, 'd') + "\r", 0ms}, {"\n", 150ms}}},
       std::string(2048, 'd')},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptedServer server([&](const std::string&) { return row.reply; });
    const ServerLink link = LinkTo(server);
    std::string expected = row.expected;
    if (expected == "<no answer>") expected = link.NoAnswerReply();
    if (expected == "<too long>") expected = link.TooLongReply();
    EXPECT_EQ(testsupport::Reply(link, "Status;1"), expected);
    ASSERT_TRUE(server.WaitForRequests(1));
    EXPECT_EQ(server.Requests().at(0), "Status;1");
  }
}

TEST(ServerCall, SendsTheRequestWithCrLfAsCp1252) {
  std::string raw;
  ScriptedServer server([&](const std::string& request) {
    raw = request;
    return ScriptedReply::Line("OK");
  });
  EXPECT_EQ(testsupport::Reply(LinkTo(server), "Maskin;Fr\xE6s 2"), "OK");
  EXPECT_EQ(raw, "Maskin;Fr\xE6s 2");
}

// A port on which nothing listens any more.
std::string VacatedPort() {
  const platform::TcpListener listener("127.0.0.1", 0);
  return std::to_string(listener.Port());
}

TEST(ServerCall, NoContactTexts) {
  const std::string closed = VacatedPort();
  ServerLink link;
  link.SetLimits({500ms, 500ms, 1024});
  const struct {
    std::string host;
    std::string port;
    std::string expected;
  } rows[] = {
      {"127.0.0.1", closed, "Ingen kontakt med Orvi-Vedo-server (127.0.0.1:" + closed + ")"},
      {"localhost", closed, "Ingen kontakt med Orvi-Vedo-server (localhost:" + closed + ")"},
      {"no-such-host.invalid", "50000",
       "Ingen kontakt med Orvi-Vedo-server (no-such-host.invalid:50000)"},
      {"1.2.3.4.5", "50000", "Ingen kontakt med Orvi-Vedo-server (1.2.3.4.5:50000)"},
      {"127.0.0.1", "70000", "Ingen kontakt med Orvi-Vedo-server (127.0.0.1:70000)"},
      {"127.0.0.1", "", "Ingen kontakt med Orvi-Vedo-server (127.0.0.1:)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.host + ":" + row.port);
    link.SetHost(row.host);
    link.SetPort(row.port);
    EXPECT_EQ(testsupport::Reply(link, "Status;1"), row.expected);
  }
}

TEST(ServerCall, PortRules) {
  ScriptedServer server(std::map<std::string, std::string>{}, "OK");
  ServerLink link = LinkTo(server);
  const std::string port = std::to_string(server.Port());
  const struct {
    const char* name;
    std::string port;
    bool reaches;
  } rows[] = {
      {"decimal", port, true},
      {"leading spaces by the integer rule", "  " + port, true},
      {"hex by the integer rule",
       "$" +
           [&] {
             char hex[16];
             std::snprintf(hex, sizeof hex, "%X", server.Port());
             return std::string(hex);
           }(),
       true},
      {"service name", "echo", false},  // a known service: port 7, where nothing listens
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    link.SetPort(row.port);
    EXPECT_EQ(testsupport::Reply(link, "Knapper;1") == "OK", row.reaches);
  }
  link.SetPort("nonsense");
  const platform::CancelSignal never;
  const client::CallResult result = link.Exchange("Knapper;1", never);
  EXPECT_EQ(result.outcome, client::CallOutcome::InvalidPort);
  EXPECT_EQ(result.line, "'nonsense' is not a valid integer value");
}

TEST(NextField, SplitsAtTheFirstSemicolon) {
  std::string text = "a;b;c";
  EXPECT_EQ(client::NextField(text), "a");
  EXPECT_EQ(client::NextField(text), "b");
  EXPECT_EQ(client::NextField(text), "c");
  EXPECT_EQ(client::NextField(text), "");
  text = "abc";
  EXPECT_EQ(client::NextField(text), "abc");
  EXPECT_EQ(text, "");
  text = ";x";
  EXPECT_EQ(client::NextField(text), "");
  EXPECT_EQ(text, "x");
}

}  // namespace
