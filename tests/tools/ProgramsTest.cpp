// The simulator's TCP side and the command-line tools, run for real on loopback.
#include <signal.h>

#include <atomic>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "Processes.h"
#include "Reply.h"
#include "ScriptedServer.h"
#include "Server.h"
#include "ServerLink.h"
#include "TempDir.h"
#include "WaitUntil.h"

namespace {

using namespace std::chrono_literals;

TEST(SimulatorServer, ServesManyClientsAtOnceAndLogsEachRequest) {
  std::ostringstream log;
  std::atomic<int> answered{0};
  dncsim::Server server(
      "127.0.0.1", 0,
      [&](const std::string& request) {
        std::this_thread::sleep_for(200ms);  // a slow answer must not hold up the others
        ++answered;
        return "svar p\xE5 " + request;
      },
      log);
  std::thread serving([&] { server.Run(); });

  std::vector<std::thread> clients;
  std::vector<std::string> replies(8);
  const auto started = std::chrono::steady_clock::now();
  for (std::size_t i = 0; i < replies.size(); ++i) {
    clients.emplace_back([&, i] {
      client::ServerLink link;
      link.SetHost("127.0.0.1");
      link.SetPort(std::to_string(server.Port()));
      replies[i] = testsupport::Reply(link, "Status;" + std::to_string(i));
    });
  }
  for (auto& c : clients) c.join();
  const auto took = std::chrono::steady_clock::now() - started;
  server.Stop();
  serving.join();

  for (std::size_t i = 0; i < replies.size(); ++i) {
    EXPECT_EQ(replies[i], "svar p\xE5 Status;" + std::to_string(i));
  }
  EXPECT_EQ(answered.load(), 8);
  EXPECT_LT(took, 8 * 200ms) << "served side by side, not one after another";
  EXPECT_NE(log.str().find("\"Status;3\" -> \"svar p\xC3\xA5 Status;3\""), std::string::npos)
      << log.str();
}

TEST(SimulatorProgram, StopsCleanlyOnSigterm) {
  testsupport::TempDir dir;
  const pid_t pid = testsupport::Spawn(
      {DNC_SIM, "--port", "0", "--data", dir / "nc", "--log", dir / "log"}, {}, dir / "out");
  testsupport::WaitUntil(
      [&] { return testsupport::ReadFile(dir / "out").find("listening") != std::string::npos; });
  ::kill(pid, SIGTERM);
  EXPECT_EQ(testsupport::WaitForExit(pid, 10s), 0);
  EXPECT_NE(testsupport::ReadFile(dir / "out").find("dnc-sim stopped"), std::string::npos);
  EXPECT_NE(testsupport::ReadFile(dir / "nc/M1/P100.NC").find("G81"), std::string::npos)
      << "sample programs written";
}

TEST(SimulatorProgram, RefusesWrongOptions) {
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{"--port"},
                                                    {"--port", "x"},
                                                    {"--speed", "0"},
                                                    {"--nonsense", "1"}}) {
    EXPECT_EQ(testsupport::RunProgram(DNC_SIM, arguments, {}).status, 2);
  }
}

TEST(VedoCall, PrintsTheReplyAndTellsWhetherTheServerAnswered) {
  using testsupport::ScriptedReply;
  const std::string longLine(70 * 1024, 'x');
  testsupport::ScriptedServer server([&](const std::string& request) {
    if (request == "Lang") return ScriptedReply::Line(longLine);
    if (request == "Tom") return ScriptedReply{{}, false, true};
    if (request == "Maskin;Fr\xE6s 3") return ScriptedReply::Line("3");
    return ScriptedReply::Line("Fres 1;P1.NC;Klar;Overf\xF8rer;0;;0");
  });
  const struct {
    const char* name;
    std::string address;
    std::string request;
    int status;
    std::string output;
  } rows[] = {
      {"a line", server.Address(), "Status;1", 0, "Fres 1;P1.NC;Klar;Overf\xC3\xB8rer;0;;0\n"},
      {"closed without a line is the server's empty answer", server.Address(), "Tom", 0, "\n"},
      {"the request goes in cp1252", server.Address(), "Maskin;Fr\xC3\xA6s 3", 0, "3\n"},
      {"too long", server.Address(), "Lang", 1,
       "For langt svar fra Orvi-Vedo-server (" + server.Address() + ")\n"},
      {"unreachable", "127.0.0.1:1", "Maskiner", 1,
       "Ingen kontakt med Orvi-Vedo-server (127.0.0.1:1)\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto result =
        testsupport::RunProgram(VEDO_CALL, {"--server", row.address, row.request}, {});
    EXPECT_EQ(result.status, row.status);
    EXPECT_EQ(result.output, row.output);
  }

  EXPECT_EQ(
      testsupport::RunProgram(VEDO_CALL, {"--server", "127.0.0.1:abc", "Maskiner"}, {}).status, 2);
  EXPECT_EQ(testsupport::RunProgram(VEDO_CALL, {}, {}).status, 2);
  EXPECT_EQ(
      testsupport::RunProgram(VEDO_CALL, {"--server", server.Address(), "Maskin;\xE6\x97\xA5"}, {})
          .status,
      2)
      << "a request that cp1252 cannot hold is refused, not sent with '?'";
}

}  // namespace
