// The real client asked by the system to end (SIGTERM) in the middle of a program-started run:
// it ends at once, the call under way given up, with the status that tells the calling program
// whether its command was accepted.
#include <signal.h>

#include <gtest/gtest.h>

#include "Processes.h"
#include "Programs.h"
#include "ScriptedServer.h"
#include "TempDir.h"

namespace {

using namespace std::chrono_literals;
using testsupport::ScriptedReply;

TEST(Termination, EndsAtOnceWithTheStatusOfItsCommand) {
  const struct {
    const char* name;
    bool commandAnswered;  // "OK", or no answer at all
    std::string waitFor;   // the request after which the signal comes
    int status;
  } rows[] = {
      {"during the command's call", false, "SEND;4;P1.NC", 1},
      {"command accepted, transfer not done", true, "Status;4", 3},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    testsupport::TempDir dir;
    testsupport::ScriptedServer server([&](const std::string& request) {
      if (request == "Knapper;4") return ScriptedReply::Line(";SEND;AUTO;");
      if (request == "SEND;4;P1.NC" && !row.commandAnswered) return ScriptedReply{{}, true};
      if (request == "SEND;4;P1.NC") return ScriptedReply::Line("OK");
      return ScriptedReply::Line("Dreie 4;P1.NC;Sender;;10;;0");
    });
    e2e::WriteClientSettings(dir, "[VedoTcp]\r\nVedoIP=" + server.Address() + "\r\n");
    const pid_t pid = e2e::StartClient(dir, {"SEND", "4", "P1.NC"});
    testsupport::Child client(pid);
    // The status after the accepted command is the second one of the run.
    const std::size_t count = row.commandAnswered ? 4 : 3;
    ASSERT_TRUE(server.WaitForRequests(count));
    ASSERT_EQ(server.Requests().at(count - 1), row.waitFor);
    ::kill(pid, SIGTERM);
    // Far inside the call's own bound (5 s): only giving the call up ends it this soon.
    EXPECT_EQ(client.WaitForExit(3s), row.status) << testsupport::ReadFile(dir / "client.log");
  }
}

}  // namespace
