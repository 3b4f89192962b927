#include <algorithm>

#include "FormFixture.h"
#include "Platform.h"

namespace {

using testsupport::FormTest;
using testsupport::Machine3;
using Requests = std::vector<std::string>;

using Commands = FormTest;

const std::string kReadPrompt = "Message: Trykk \"Read\" p\xE5 styringen!";
const std::string kTransferPrompt =
    "Message: Overf\xF8r CNC-programmene til harddisk-katalogen.\rTrykk OK n\xE5r overf\xF8ringen "
    "er ferdig.";

std::map<std::string, std::string> With(std::map<std::string, std::string> table,
                                        const std::map<std::string, std::string>& more) {
  for (const auto& [request, reply] : more) table[request] = reply;
  return table;
}

struct SequenceRow {
  const char* name;
  std::string buttons;
  std::map<std::string, std::string> replies;  // beyond machine 3's; other requests get "OK"
  void (client::TVedoForm::*click)();
  Requests requests;
  Requests shown;
};

TEST_F(Commands, RequestSequencesAndPrompts) {
  const SequenceRow rows[] = {
      {"send without AUTO",
       ";SEND;HENT;",
       {},
       &client::TVedoForm::SendButtonClick,
       {"Filnavn;3;P1.NC", "Status;3", "Send;3;P1.NC", "Status;3"},
       {kReadPrompt}},
      {"send with AUTO",
       ";SEND;AUTO;",
       {},
       &client::TVedoForm::SendButtonClick,
       {"Send;3;P1.NC", "Status;3"},
       {}},
      {"fetch with SLETT",
       ";HENT;SLETT;",
       {},
       &client::TVedoForm::HentButtonClick,
       {"Slett;3;P1.NC", "Status;3", "Hent;3;P1.NC", "Status;3"},
       {kTransferPrompt}},
      {"fetch without SLETT",
       ";HENT;",
       {},
       &client::TVedoForm::HentButtonClick,
       {"Hent;3;P1.NC", "Status;3"},
       {}},
      {"failed pre-step does not stop the send",
       ";SEND;",
       {{"Filnavn;3;P1.NC", "Ukjent fil"}},
       &client::TVedoForm::SendButtonClick,
       {"Filnavn;3;P1.NC", "Send;3;P1.NC", "Status;3"},
       {"Message: Ukjent fil", kReadPrompt}},
      {"failed delete does not stop the fetch",
       ";HENT;SLETT;",
       {{"Slett;3;P1.NC", "Kan ikke slette"}},
       &client::TVedoForm::HentButtonClick,
       {"Slett;3;P1.NC", "Hent;3;P1.NC", "Status;3"},
       {"Message: Kan ikke slette", kTransferPrompt}},
      {"refusal shown unchanged, no refresh",
       ";SEND;AUTO;",
       {{"Send;3;P1.NC", "Maskinen er opptatt"}},
       &client::TVedoForm::SendButtonClick,
       {"Send;3;P1.NC"},
       {"Message: Maskinen er opptatt"}},
      {"lower-case ok is no success",
       ";SEND;AUTO;",
       {{"Send;3;P1.NC", "ok"}},
       &client::TVedoForm::SendButtonClick,
       {"Send;3;P1.NC"},
       {"Message: ok"}},
      {"empty reply shows an empty dialog",
       ";HENT;",
       {{"Hent;3;P1.NC", ""}},
       &client::TVedoForm::HentButtonClick,
       {"Hent;3;P1.NC"},
       {"Message: "}},
      {"restart",
       ";RESTART;",
       {},
       &client::TVedoForm::RestartButtonClick,
       {"Restart;3", "Status;3"},
       {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto& form = Start({"3"}, With(Machine3(row.buttons), row.replies));
    form.SelectMachine("", "3", "P1.NC");
    TakeRequests();
    prompts_.shown.clear();
    (form.*row.click)();
    EXPECT_EQ(TakeRequests(), row.requests);
    EXPECT_EQ(prompts_.shown, row.shown);
    EXPECT_EQ(form.CommandIssued(), row.click != &client::TVedoForm::RestartButtonClick);
  }
}

TEST_F(Commands, CommandLineCommandGoesAsTyped) {
  auto& form = Start({"get", "Fres 3", "P1.NC"}, Machine3(";HENT;SLETT;"));
  EXPECT_EQ(TakeRequests(), (Requests{"Maskin;Fres 3", "Knapper;3", "Status;3", "Slett;3;P1.NC",
                                      "Status;3", "get;3;P1.NC", "Status;3"}));
  EXPECT_EQ(prompts_.shown, (Requests{kTransferPrompt}));
  EXPECT_TRUE(form.CommandIssued());
  EXPECT_EQ(form.ProgramFile(), "P1.NC");
}

TEST_F(Commands, CommandWordIsUpperCasedOnlyForTheDecision) {
  const struct {
    std::string command;
    bool readPrompt;
  } rows[] = {{"send;3;P1.NC", true},
              {"SeNd;3;P1.NC", true},
              {"sendx;3;P1.NC", false},
              {"s\xE9nd;3;P1.NC", false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.command);
    auto& form = Start({"3"}, Machine3(";SEND;"));
    TakeRequests();
    prompts_.shown.clear();
    form.HandleCommand(row.command);
    const auto requests = TakeRequests();
    EXPECT_EQ(requests.back() == "Status;3" ? requests[requests.size() - 2] : requests.back(),
              row.command);
    EXPECT_EQ(!prompts_.shown.empty() && prompts_.shown.front() == kReadPrompt, row.readPrompt);
  }
}

// A path of the test's in the system's separators: the server's paths are the workstation's,
// with "\\" on Windows.
std::string Native(std::string path) {
  std::replace(path.begin(), path.end(), '/', platform::kPathSeparator);
  return path;
}

struct PickRow {
  const char* name;
  std::string directory;
  std::string protocol;
  std::string picked;
  std::string programFile;
};

TEST_F(Commands, ProgramFileFromThePickedPath) {
  const PickRow rows[] = {
      {"prefix ignoring case", "/NC/M3/", "Heidenhain", "/nc/m3/SUB/P7.NC", "SUB/P7.NC"},
      {"accented letters ignore case too", "/NC/\xC6RE/", "x", "/nc/\xE6re/P7.NC", "P7.NC"},
      {"outside the directory", "/NC/M3/", "Heidenhain", "/X/P7.NC", "/X/P7.NC"},
      {"bare name", "/NC/M3/", "wintool", "/nc/m3/SUB/P7.NC", "P7"},
      {"bare name outside", "/NC/M3/", "WINTOOL", "/X/P7.NC", "P7"},
      {"bare name keeps all but the last extension", "/NC/", "WinTool", "/NC/a.b.NC", "a.b"},
      {"bare name without extension", "/NC/", "WinTool", "/NC/P7", "P7"},
      {"no separator added or removed", "/NC/M3", "Heidenhain", "/NC/M3/P1.NC", "/P1.NC"},
      {"no-contact directory", "", "", "/nc/P1.NC", "/nc/P1.NC"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string directory = Native(row.directory);
    const std::string programFile = Native(row.programFile);
    auto& form =
        Start({"3"}, With(Machine3(";SEND;"), {{"Maskin-Les;3;Katalog;", directory},
                                               {"Maskin-Les;3;Protokoll;", row.protocol}}));
    TakeRequests();
    prompts_.shown.clear();
    prompts_.fileAnswers = {client::FilePick{Native(row.picked), 0}};
    form.FilnavnButtonClick();
    EXPECT_EQ(form.ProgramFile(), programFile);
    std::string initial = directory;
    if (!initial.empty() && initial.back() == platform::kPathSeparator) initial.pop_back();
    EXPECT_EQ(prompts_.shown.at(0),
              "PickFile: " + initial + " | " + initial + Native("/*.*") + " | 0");
    EXPECT_EQ(TakeRequests(), (Requests{"Maskin-Les;3;Katalog;", "Maskin-Les;3;Protokoll;",
                                        "Filnavn;3;" + programFile, "Status;3"}));
  }
}

TEST_F(Commands, CancelAnnouncesTheUnchangedFileAndFilterIsRemembered) {
  auto& form =
      Start({"3"}, With(Machine3(";SEND;"), {{"Maskin-Les;3;Katalog;", Native("/nc/m3/")}}));
  TakeRequests();
  form.FilnavnButtonClick();  // cancelled: the previous, empty file
  EXPECT_EQ(TakeRequests().at(2), "Filnavn;3;");

  prompts_.fileAnswers = {client::FilePick{Native("/nc/m3/P2.NC"), 1}};
  form.FilnavnButtonClick();
  EXPECT_EQ(form.ProgramFile(), "P2.NC");
  form.FilnavnButtonClick();  // cancelled again
  EXPECT_EQ(form.ProgramFile(), "P2.NC");
  EXPECT_EQ(TakeRequests().back(), "Status;3");
  const std::string shown = "PickFile: " + Native("/nc/m3 | /nc/m3/*.* | ");
  EXPECT_EQ(prompts_.shown, (Requests{shown + "0", shown + "0", shown + "1"}));
}

TEST_F(Commands, MachineChoice) {
  const struct {
    const char* name;
    client::Choice answer;
    Requests requests;  // after "Maskiner"
    std::string machineId;
  } rows[] = {
      {"OK with a name", {true, "Dreie2"}, {"Maskin;Dreie2", "Knapper;2", "Status;2"}, "2"},
      {"OK with nothing selected", {true, ""}, {}, "3"},
      {"cancel", {false, "Dreie2"}, {}, "3"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto& form = Start(
        {}, With(Machine3(";SEND;"), {{"Maskiner", "Fres1;Dreie2;Fres3"}, {"Maskin;Dreie2", "2"}}));
    form.SelectMachine("", "3", "P1.NC");
    TakeRequests();
    prompts_.shown.clear();
    prompts_.choiceAnswers = {row.answer};
    form.MaskinButtonClick();
    Requests expected{"Maskiner"};
    expected.insert(expected.end(), row.requests.begin(), row.requests.end());
    EXPECT_EQ(TakeRequests(), expected);
    EXPECT_EQ(prompts_.shown, (Requests{"Choose: Velg Maskin | Fres1;Dreie2;Fres3"}));
    EXPECT_EQ(form.MachineId(), row.machineId);
    EXPECT_EQ(form.ProgramFile(), "P1.NC");
  }
}

TEST_F(Commands, NoContactTextAsAChoiceBecomesTheMachine) {
  WriteIni("127.0.0.1:1");
  auto& form = Start({}, {});
  const std::string noContact = "Ingen kontakt med Orvi-Vedo-server (127.0.0.1:1)";
  prompts_.choiceAnswers = {{true, noContact}};
  form.MaskinButtonClick();
  EXPECT_EQ(prompts_.shown.back(), "Choose: Velg Maskin | " + noContact);
  EXPECT_EQ(form.MachineId(), noContact);
  EXPECT_EQ(window_->Session().Link().Port(), "1") << "the address stays";
}

TEST_F(Commands, StatusKeepsRefreshingWhileAPromptIsOpen) {
  auto& form = Start({"3"}, Machine3(";SEND;"));
  TakeRequests();
  // Open until two ticks have come after the status that followed "Filnavn".
  prompts_.whileOpen = [this] {
    testsupport::RunEventLoopUntil([this] {
      const auto requests = server_.Requests();
      return std::count(requests.begin(), requests.end(), "Status;3") >= 3;
    });
  };
  form.SendButtonClick();
  prompts_.whileOpen = nullptr;
  const auto requests = TakeRequests();
  // Filnavn, its status, then at least two ticks while the "Read" prompt waited, then Send.
  const auto send = std::find(requests.begin(), requests.end(), "Send;3;");
  ASSERT_NE(send, requests.end());
  EXPECT_GE(std::count(requests.begin() + 2, send, "Status;3"), 2);
}

}  // namespace
