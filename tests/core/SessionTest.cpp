// The command sequences without widgets: closing the window in any of a command's dialogs
// ends the command there, with no request and no dialog after it.
#include <gtest/gtest.h>

#include "FakePrompts.h"
#include "MachineSession.h"
#include "ModuleState.h"
#include "ScriptedServer.h"
#include "TempDir.h"
#include "Util.h"

namespace {

using Requests = std::vector<std::string>;

class RecordingView : public client::SessionView {
 public:
  void ShowStatus(const client::StatusRecord& status) override { shown = status.machineName; }
  void ShowProgress(const std::optional<client::ProgressView>&) override {}
  void EnableCommands(bool, bool, bool) override {}
  void HideMachineChoice() override {}
  void StartRefresh() override {}
  void CloseWindow() override { closed = true; }
  std::string shown;
  bool closed = false;
};

// Machines 3 and 4 with the given buttons, a server whose address the INI file names, and the
// operator's answers: the program P2.NC in the file dialog, "Dreie 4" in the list.
struct Machines {
  explicit Machines(const std::string& buttons)
      : server(std::map<std::string, std::string>{{"Knapper;3", buttons},
                                                  {"Knapper;4", buttons},
                                                  {"Status;3", "Fres 3;P1.NC;Klar;;0;;0"},
                                                  {"Send;3;P1.NC", "Maskinen er opptatt"},
                                                  {"Maskin-Les;3;Katalog;", "/nc/m3/"},
                                                  {"Maskin;Dreie 4", "4"},
                                                  {"Maskiner", "Fres 3;Dreie 4"}},
               "OK") {
    util::detail::State().iniFile =
        dir.Write("Vedo.ini", "[VedoTcp]\r\nVedoIP=" + server.Address() + "\r\n");
    prompts.fileAnswers = {client::FilePick{"/nc/m3/P2.NC", 0}};
    prompts.choiceAnswers = {{true, "Dreie 4"}};
  }
  testsupport::ScriptedServer server;
  testsupport::TempDir dir;
  testsupport::FakePrompts prompts;
};

TEST(Session, ClosingInACommandsDialogEndsTheCommandThere) {
  const struct {
    const char* name;
    std::string buttons;
    std::function<void(client::MachineSession&)> command;
    Requests requests;  // after the start-up
  } rows[] = {
      {"send, at the Read prompt",
       ";SEND;",
       [](auto& s) { s.SendProgram(); },
       {"Filnavn;3;P1.NC", "Status;3"}},
      {"fetch, at the transfer prompt",
       ";HENT;SLETT;",
       [](auto& s) { s.FetchProgram(); },
       {"Slett;3;P1.NC", "Status;3"}},
      {"refused send, at its message",
       ";SEND;AUTO;",
       [](auto& s) { s.SendProgram(); },
       {"Send;3;P1.NC"}},
      {"program choice, in the file dialog",
       ";SEND;",
       [](auto& s) { s.ChooseProgram(); },
       {"Maskin-Les;3;Katalog;", "Maskin-Les;3;Protokoll;"}},
      {"machine choice, in the list", ";SEND;", [](auto& s) { s.ChooseMachine(); }, {"Maskiner"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Machines machines(row.buttons);
    auto& server = machines.server;
    auto& prompts = machines.prompts;
    client::DirectCallRunner runner;
    RecordingView view;
    client::MachineSession session({"SEND", "3", "P1.NC"}, prompts, runner);
    session.ShowOn(&view);
    session.SelectMachine(server.Address(), "3", "P1.NC");
    server.ClearRequests();

    prompts.whileOpen = [&] { session.Close(); };
    EXPECT_THROW(row.command(session), client::CallCancelled);
    EXPECT_EQ(server.Requests(), row.requests);
    EXPECT_EQ(prompts.shown.size(), 1u) << "no dialog after the one it was closed in";
    EXPECT_EQ(session.ProgramFile(), "P1.NC") << "the pick is not taken over";
    util::StopModule();
  }
}

// The one re-entry by design: the status tick runs while a command's dialog is open. It
// refreshes the status and nothing else: the command's requests and the session's state are
// those of the same command without ticks.
TEST(Session, TicksInsideACommandsDialogsLeaveItsSequenceAsItIs) {
  const struct {
    const char* name;
    std::string buttons;
    std::function<void(client::MachineSession&)> command;
  } rows[] = {
      {"send with the Read prompt", ";SEND;", [](auto& s) { s.SendProgram(); }},
      {"fetch with the delete and the transfer prompt", ";HENT;SLETT;",
       [](auto& s) { s.FetchProgram(); }},
      {"refused send and its message", ";SEND;AUTO;", [](auto& s) { s.SendProgram(); }},
      {"program choice", ";SEND;", [](auto& s) { s.ChooseProgram(); }},
      {"machine choice", ";SEND;", [](auto& s) { s.ChooseMachine(); }},
  };
  struct Outcome {
    Requests requests;  // without the status requests
    std::string machine, file;
    bool issued = false;
    std::size_t dialogs = 0;
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto run = [&](bool tick) {
      Machines machines(row.buttons);
      auto& server = machines.server;
      auto& prompts = machines.prompts;
      client::DirectCallRunner runner;
      client::MachineSession session({"3"}, prompts, runner);
      session.SelectMachine(server.Address(), "3", "P1.NC");
      server.ClearRequests();
      int ticks = 0;
      if (tick) {
        prompts.whileOpen = [&] {
          session.TimerTick();
          ++ticks;
        };
      }
      row.command(session);
      Outcome outcome{{},
                      session.MachineId(),
                      session.ProgramFile(),
                      session.CommandIssued(),
                      prompts.shown.size()};
      for (const auto& request : server.Requests()) {
        if (request.rfind("Status;", 0) != 0) outcome.requests.push_back(request);
      }
      if (tick) {
        EXPECT_GT(ticks, 0) << "a tick ran inside a dialog";
      }
      util::StopModule();
      return outcome;
    };
    const Outcome plain = run(false), ticked = run(true);
    EXPECT_EQ(ticked.requests, plain.requests);
    EXPECT_EQ(ticked.machine, plain.machine);
    EXPECT_EQ(ticked.file, plain.file);
    EXPECT_EQ(ticked.issued, plain.issued);
    EXPECT_EQ(ticked.dialogs, plain.dialogs);
  }
}

// The calls read ahead of the start-up are the ones it makes first, to the same address; none
// are known when a warning comes first or the machine must be looked up by name.
TEST(Session, TheFirstCallsAreThoseTheStartUpMakes) {
  const struct {
    const char* name;
    std::vector<std::string> arguments;
    const char* ini;  // "$" stands for the server's address; nullptr: no INI file
    Requests first;   // empty: none known ahead
  } rows[] = {
      {"no machine", {}, "[VedoTcp]\r\nVedoIP=$\r\n", {"Knapper;1", "Status;1"}},
      {"machine by number", {"7"}, "[VedoTcp]\r\nVedoIP=$\r\n", {"Knapper;7", "Status;7"}},
      {"command", {"SEND", "4", "P1.NC"}, "[VedoTcp]\r\nVedoIP=$\r\n", {"Knapper;4", "Status;4"}},
      {"machine by name", {"Fres 3"}, "[VedoTcp]\r\nVedoIP=$\r\n", {}},
      {"machine 0", {"0"}, "[VedoTcp]\r\nVedoIP=$\r\n", {}},
      {"no address in the INI file", {}, "[Program]\r\nFirma=FENRAK\r\n", {}},
      {"no INI file", {}, nullptr, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    testsupport::ScriptedServer server(std::map<std::string, std::string>{{"Maskin;Fres 3", "3"}},
                                       "OK");
    testsupport::TempDir dir;
    if (row.ini != nullptr) {
      std::string ini = row.ini;
      if (const auto at = ini.find('$'); at != std::string::npos) {
        ini.replace(at, 1, server.Address());
      }
      util::detail::State().iniFile = dir.Write("Vedo.ini", ini);
    } else {
      util::detail::State().iniFile = dir / "Vedo.ini";
    }
    testsupport::FakePrompts prompts;
    client::DirectCallRunner runner;
    client::MachineSession session(row.arguments, prompts, runner);
    const auto first = session.FirstCalls();
    ASSERT_EQ(first.has_value(), !row.first.empty());
    if (first) {
      EXPECT_EQ(first->requests, row.first);
      EXPECT_EQ(first->link.Host() + ":" + first->link.Port(), server.Address());
      session.Start();
      const Requests made = server.Requests();
      ASSERT_GE(made.size(), row.first.size());
      EXPECT_EQ(Requests(made.begin(), made.begin() + static_cast<long>(row.first.size())),
                row.first)
          << "the start-up makes them first";
    }
    util::StopModule();
  }
}

}  // namespace
