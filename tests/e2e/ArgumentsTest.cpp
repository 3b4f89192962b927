// The real client started by another program whose arguments look like the toolkit's options:
// they are the command's machine and file all the same. Its INI file lies in a folder with a
// Norwegian name, named by a cp1252 registry file, so every run also shows that it is found.
#include <signal.h>

#include <algorithm>
#include <functional>
#include <iostream>

#include <gtest/gtest.h>

#include "Processes.h"
#include "Programs.h"
#include "ScriptedServer.h"
#include "TempDir.h"

namespace {

using namespace std::chrono_literals;
using Requests = std::vector<std::string>;

constexpr const char* kTitle = "Orvi-Vedo fjernstyring";

testsupport::ScriptedReply Reply(const std::string& request) {
  if (request == "Knapper;2") return testsupport::ScriptedReply::Line(";SEND;HENT;AUTO;");
  if (request.rfind("Maskin;", 0) == 0) return testsupport::ScriptedReply::Line("2");
  if (request == "Status;2")
    return testsupport::ScriptedReply::Line("Dreie 2;P1.NC;Ferdig;;0;OK;1");
  return testsupport::ScriptedReply::Line("OK");
}

class Arguments : public ::testing::Test {
 protected:
  // Machine 2 sends without a prompt and every name is machine 2; a command is taken and its
  // transfer reported done at once, so the client closes itself.
  Arguments() : server_(Reply) {
    // "cfgø": the registry names it in cp1252, the disk in UTF-8.
    e2e::WriteClientSettings(dir_, "[VedoTcp]\r\nVedoIP=" + server_.Address() + "\r\n",
                             "cfg\xF8/Vedo.ini");
  }

  pid_t StartClient(const std::vector<std::string>& arguments, const std::string& display = "") {
    return e2e::StartClient(dir_, arguments, display);
  }

  // The requests without the status polls.
  Requests Commands() const {
    Requests requests = server_.Requests();
    requests.erase(std::remove_if(requests.begin(), requests.end(),
                                  [](const std::string& r) { return r.rfind("Status;", 0) == 0; }),
                   requests.end());
    return requests;
  }

  void TearDown() override {
    if (HasFailure()) std::cout << "client output:\n" << testsupport::ReadFile(dir_ / "client.log");
  }

  testsupport::TempDir dir_;
  testsupport::ScriptedServer server_;
};

TEST_F(Arguments, ToolkitOptionsAreTheCommandsMachineAndFile) {
  const struct {
    const char* name;
    std::vector<std::string> arguments;
    Requests commands;
  } rows[] = {
      {"-reverse as the file", {"SEND", "2", "-reverse"}, {"Knapper;2", "SEND;2;-reverse"}},
      {"-style as the machine",
       {"SEND", "-style", "P1.NC"},
       {"Maskin;-style", "Knapper;2", "SEND;2;P1.NC"}},
      {"-style X as machine and file",
       {"HENT", "-style", "X"},
       {"Maskin;-style", "Knapper;2", "HENT;2;X"}},
      {"-platform X as machine and file",
       {"SEND", "-platform", "X"},
       {"Maskin;-platform", "Knapper;2", "SEND;2;X"}},
      {"-- as the machine", {"SEND", "--", "P1.NC"}, {"Maskin;--", "Knapper;2", "SEND;2;P1.NC"}},
      {"-- as the file", {"SEND", "2", "--"}, {"Knapper;2", "SEND;2;--"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    server_.ClearRequests();
    testsupport::Child client(StartClient(row.arguments));
    EXPECT_EQ(client.WaitForExit(30s), 0);
    EXPECT_EQ(Commands(), row.commands);
  }
}

// A file name that cp1252 cannot hold would reach the server changed: the operator is told
// which argument it is, and nothing is sent.
// Whether the operator acknowledges the box or the system asks the program to end while it is
// open, the start-up has failed.
TEST_F(Arguments, ArgumentWithoutACp1252FormStopsTheStartUp) {
  const struct {
    const char* name;
    std::function<bool(const std::string& display, pid_t client)> end;
  } rows[] = {
      {"acknowledged", [](const std::string& display,
                          pid_t) { return e2e::PressKeyInWindow(display, kTitle, "Return"); }},
      {"asked to end",
       [](const std::string& display, pid_t client) {
         return e2e::WindowShows(display, kTitle) && ::kill(client, SIGTERM) == 0;
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    e2e::XServer x;
    const pid_t pid = StartClient({"SEND", "2", "\xE6\xBC\xA2\xE5\xAD\x97.NC"}, x.Display());
    testsupport::Child client(pid);
    ASSERT_TRUE(row.end(x.Display(), pid)) << "the error box";
    EXPECT_EQ(client.WaitForExit(30s), 2);
    EXPECT_EQ(server_.Requests(), Requests{});
  }
}

}  // namespace
