#include <QTest>
#include <QTimer>
#include <filesystem>

#include "FormFixture.h"

namespace {

using testsupport::FormTest;
using testsupport::Machine3;
using testsupport::ScriptedServer;
using Requests = std::vector<std::string>;

using MainWindow = FormTest;

// Records the calls instead of making them, for the default address, which must not be
// reached from a test.
// Records each call with the address it was made to, and reaches no port.
class RecordingRunner : public client::CallRunner {
 public:
  explicit RecordingRunner(std::vector<std::string>& calls) : calls_(calls) {}
  client::CallResult Run(const client::ServerLink& link, const std::string& request) override {
    calls_.push_back(link.Host() + ":" + link.Port() + " " + request);
    return {client::CallOutcome::NoContact, {}};
  }
  void Cancel() override {}
  bool Busy() const override { return false; }

 private:
  std::vector<std::string>& calls_;
};

TEST_F(MainWindow, NoArgumentsSelectsMachineOne) {
  auto& form = Start({}, {{"Knapper;1", ";SEND;"}, {"Status;1", "Fres 1;P1.NC;Klar;;0;;1"}});
  EXPECT_EQ(TakeRequests(), (Requests{"Knapper;1", "Status;1"}));
  EXPECT_EQ(form.MachineId(), "1");
  EXPECT_FALSE(ui().MaskinButton->isHidden());
  EXPECT_FALSE(ui().Rediger->isHidden());
  EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  form.OppfriskTimerTimer();
  EXPECT_FALSE(form.IsClosed()) << "a run started by hand never closes itself";
}

TEST_F(MainWindow, MachineFromTheCommandLine) {
  const struct {
    const char* name;
    std::string argument;
    std::string reply;  // to "Maskin;..."
    Requests requests;
    std::string machineId;
  } rows[] = {
      {"number", "7", "", {"Knapper;7", "Status;7"}, "7"},
      {"name resolved", "Fres 2", "4", {"Maskin;Fres 2", "Knapper;4", "Status;4"}, "4"},
      {"name not resolved",
       "Fres 2",
       "ukjent",
       {"Maskin;Fres 2", "Knapper;Fres 2", "Status;Fres 2"},
       "Fres 2"},
      {"zero is no number", "0", "", {"Maskin;0", "Knapper;0", "Status;0"}, "0"},
      {"negative reply is no number",
       "Dreie",
       "-3",
       {"Maskin;Dreie", "Knapper;Dreie", "Status;Dreie"},
       "Dreie"},
      {"hex number", "$A", "", {"Knapper;$A", "Status;$A"}, "$A"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto& form = Start({row.argument}, {{"Maskin;" + row.argument, row.reply}});
    EXPECT_EQ(TakeRequests(), row.requests);
    EXPECT_EQ(form.MachineId(), row.machineId);
    EXPECT_TRUE(ui().MaskinButton->isHidden());
    EXPECT_FALSE(ui().Rediger->isHidden());
  }
}

TEST_F(MainWindow, TwoArgumentsBehaveAsStartedByAProgram) {
  auto& form = Start({"SEND", "4"}, {{"Status;1", "M;;;;;;1"}});
  EXPECT_EQ(TakeRequests(), (Requests{"Knapper;1", "Status;1"}));
  EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(ui().Rediger->isHidden());
  EXPECT_FALSE(ui().MaskinButton->isHidden());
  form.OppfriskTimerTimer();
  EXPECT_FALSE(form.IsClosed()) << "no command issued yet";
}

TEST_F(MainWindow, ServerAddressFromTheIni) {
  const struct {
    std::string vedoIp;
    std::string host;
    std::string port;
  } rows[] = {
      {"10.0.0.5:6000", "10.0.0.5", "6000"},
      {"server1", "server1", "50000"},
      {"server1:", "server1", ""},
      {":6000", "", "6000"},
      {"a:b:c", "a", "b:c"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.vedoIp);
    WriteIni(row.vedoIp);
    std::vector<std::string> calls;
    RecordingRunner runner(calls);
    testsupport::Window window({}, prompts_, testsupport::kTestLimits, &runner);
    window.Form().FormShow();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0], row.host + ":" + row.port + " Knapper;1");
  }
}

TEST_F(MainWindow, MissingConfigurationWarnsTwiceInOrder) {
  const struct {
    const char* name;
    bool iniExists;
    Requests warnings;
  } rows[] = {
      {"no INI file",
       false,
       {"Warning: Vedo.ini eksisterer ikke | <ini>",
        "Warning: [VedoTcp] VedoIP=xxx.xxx.xxx.xxx mangler | <ini>"}},
      {"INI file without the address",
       true,
       {"Warning: [VedoTcp] VedoIP=xxx.xxx.xxx.xxx mangler | <ini>"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string ini = dir_ / "missing.ini";
    util::detail::State().iniFile =
        row.iniExists ? dir_.Write("missing.ini", "[Program]\r\n") : ini;
    prompts_.shown.clear();
    std::vector<std::string> calls;
    RecordingRunner runner(calls);
    testsupport::Window window({}, prompts_, testsupport::kTestLimits, &runner);
    window.Form().FormShow();
    Requests expected;
    for (auto warning : row.warnings)
      expected.push_back(warning.replace(warning.find("<ini>"), 5, ini));
    EXPECT_EQ(prompts_.shown, expected);
    EXPECT_EQ(calls.at(0), "localhost:50000 Knapper;1");
    std::filesystem::remove(ini);
  }
}

TEST_F(MainWindow, ButtonsFollowTheExactMarkers) {
  const struct {
    std::string buttons;
    bool send, hent, restart;
  } rows[] = {
      {"SEND;HENT", false, false, false},
      {";SEND;HENT;", true, true, false},
      {";RESTART;", false, false, true},
      {";send;hent;restart;", false, false, false},
      {"x;SEND;HENT;RESTART;AUTO;", true, true, true},
      {";SENDE;HENTE;", false, false, false},
      {"", false, false, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.buttons);
    Start({}, {{"Knapper;1", row.buttons}});
    EXPECT_EQ(ui().SendButton->isEnabled(), row.send);
    EXPECT_EQ(ui().HentButton->isEnabled(), row.hent);
    EXPECT_EQ(ui().RestartButton->isEnabled(), row.restart);
  }
}

TEST_F(MainWindow, StatusRecordFillsCaptionAndLabels) {
  const struct {
    const char* name;
    std::string reply;
    std::vector<std::string> shown;  // caption, then the five labels
  } rows[] = {
      {"all fields",
       "Fres 1;P1.NC;Sender;Overf\xF8rer;1200;OK;0",
       {"Fres 1", "P1.NC", "Sender", "Overf\xF8rer", "1200", "OK"}},
      {"missing fields are empty", "Fres 1;P1.NC", {"Fres 1", "P1.NC", "", "", "", ""}},
      {"fields after the seventh ignored", "a;b;c;d;e;f;1;x;y", {"a", "b", "c", "d", "e", "f"}},
      {"empty reply", "", {"", "", "", "", "", ""}},
      {"ampersand and markup stay literal",
       "A & B;<b>x</b>",
       {"A & B", "<b>x</b>", "", "", "", ""}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Start({}, {{"Status;1", row.reply}});
    EXPECT_EQ(client::FromQt(ui().MaskinNavn->title().replace("&&", "&")), row.shown[0]);
    const QLabel* labels[] = {ui().Filnavn, ui().Status, ui().Melding, ui().Bytes, ui().Resultat};
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(client::FromQt(labels[i]->text()), row.shown[i + 1]) << i;
      EXPECT_EQ(labels[i]->textFormat(), Qt::PlainText);
    }
  }
}

TEST_F(MainWindow, ClosesItselfOnlyWhenAllThreeConditionsHold) {
  const struct {
    const char* name;
    std::vector<std::string> arguments;
    bool issueCommand;
    std::string doneFlag;
    bool closes;
  } rows[] = {
      {"all three", {"SEND", "1"}, true, "1", true},
      {"flag not exactly 1", {"SEND", "1"}, true, "1 ", false},
      {"flag 0", {"SEND", "1"}, true, "0", false},
      {"no command issued", {"SEND", "1"}, false, "1", false},
      {"started by hand", {}, true, "1", false},
      {"one argument", {"1"}, true, "1", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto& form = Start(row.arguments,
                       {{"Knapper;1", ";SEND;AUTO;"}, {"Status;1", "M;;;;;;" + row.doneFlag}});
    if (row.issueCommand) form.HandleCommand("Send;1;P1.NC");
    form.OppfriskTimerTimer();
    EXPECT_EQ(form.IsClosed(), row.closes);
  }
}

TEST_F(MainWindow, CommandFromTheCommandLineClosesAtTheDoneFlag) {
  int statusCalls = 0;
  server_.SetScript([&](const std::string& request) {
    if (request == "Knapper;4") return testsupport::ScriptedReply::Line(";SEND;AUTO;");
    if (request == "Status;4") {
      // Done only from the third status on: the one after the command's "OK" is not yet.
      return testsupport::ScriptedReply::Line(++statusCalls >= 3 ? "M;;;;;;1" : "M;;;;;;0");
    }
    return testsupport::ScriptedReply::Line("OK");
  });
  WriteIni(server_.Address());
  testsupport::Window window({"SEND", "4", "P100.NC"}, prompts_);
  client::TVedoForm& form = window.Form();
  form.OpenWindow();
  EXPECT_EQ(server_.Requests(), (Requests{"Knapper;4", "Status;4", "SEND;4;P100.NC", "Status;4"}));
  EXPECT_TRUE(form.isVisible());
  EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(form.Outcome(), client::ExitStatus::TransferOpen);
  EXPECT_TRUE(testsupport::RunEventLoopUntil([&] { return form.IsClosed(); }))
      << "closed by the timer's status with the done flag";
  EXPECT_EQ(form.Outcome(), client::ExitStatus::Success);
}

TEST_F(MainWindow, RefusedCommandGivesItsExitStatus) {
  WriteIni(server_.Address());
  server_.SetTable({{"Knapper;4", ";SEND;AUTO;"}, {"SEND;4;P1.NC", "Maskinen er opptatt"}});
  testsupport::Window window({"SEND", "4", "P1.NC"}, prompts_);
  client::TVedoForm& form = window.Form();
  form.OpenWindow();
  EXPECT_EQ(prompts_.shown, (Requests{"Message: Maskinen er opptatt"}));
  EXPECT_EQ(form.Outcome(), client::ExitStatus::CommandFailed);
}

TEST_F(MainWindow, BadPortSkipsTheRestOfTheStartUp) {
  WriteIni("127.0.0.1:nonsense");
  testsupport::Window window({"SEND", "4", "P1.NC"}, prompts_);
  client::TVedoForm& form = window.Form();
  form.OpenWindow();
  EXPECT_EQ(prompts_.shown, (Requests{"Error: 'nonsense' is not a valid integer value."}));
  EXPECT_TRUE(form.isVisible()) << "the window still shows";
  EXPECT_TRUE(testsupport::FormControls(form).SendButton->isEnabled());
  EXPECT_TRUE(testsupport::FormControls(form).HentButton->isEnabled());
  EXPECT_TRUE(testsupport::FormControls(form).RestartButton->isEnabled());
  EXPECT_EQ(testsupport::FormControls(form).MaskinNavn->title(), "MaskinNavn");
  EXPECT_EQ(testsupport::FormControls(form).Filnavn->text(), "Filnavn");
  EXPECT_EQ(testsupport::FormControls(form).Resultat->text(), "Resultat");
  EXPECT_TRUE(server_.Requests().empty()) << "no command ran";
  EXPECT_EQ(form.Outcome(), client::ExitStatus::CommandFailed);
  EXPECT_FALSE(form.RefreshStarted());
  testsupport::FormControls(form).RestartButton->click();
  EXPECT_EQ(prompts_.shown.back(), "Error: 'nonsense' is not a valid integer value.")
      << "every later request fails the same way";
  EXPECT_EQ(prompts_.shown.size(), 2u);
}

TEST_F(MainWindow, ServerGoingDownAndComingBack) {
  auto server = std::make_unique<ScriptedServer>([](const std::string& request) {
    return testsupport::ScriptedReply::Line(request == "Knapper;1" ? ";SEND;HENT;RESTART;"
                                                                   : "Fres 1;P1.NC;Klar;;0;;0");
  });
  const int port = server->Port();
  WriteIni("127.0.0.1:" + std::to_string(port));
  testsupport::Window window({}, prompts_);
  client::TVedoForm& form = window.Form();
  form.FormShow();
  EXPECT_EQ(client::FromQt(testsupport::FormControls(form).MaskinNavn->title()), "Fres 1");

  server.reset();
  const std::string noContact =
      "Ingen kontakt med Orvi-Vedo-server (127.0.0.1:" + std::to_string(port) + ")";
  const auto title = [&] {
    return client::FromQt(testsupport::FormControls(form).MaskinNavn->title());
  };
  EXPECT_TRUE(testsupport::RunEventLoopUntil([&] { return title() == noContact; }));
  EXPECT_EQ(testsupport::FormControls(form).Filnavn->text(), "");
  EXPECT_EQ(testsupport::FormControls(form).Resultat->text(), "");
  EXPECT_EQ(form.MachineId(), "1");

  server = std::make_unique<ScriptedServer>(
      [](const std::string&) { return testsupport::ScriptedReply::Line("Fres 1;P2.NC;;;;;0"); },
      port);
  EXPECT_TRUE(testsupport::RunEventLoopUntil([&] { return title() == "Fres 1"; }));
  EXPECT_EQ(testsupport::FormControls(form).Filnavn->text(), "P2.NC");
  EXPECT_TRUE(prompts_.shown.empty());
}

TEST_F(MainWindow, ServerDownAtStart) {
  WriteIni("127.0.0.1:1");  // nothing listens on port 1 of the loopback
  testsupport::Window window({}, prompts_);
  client::TVedoForm& form = window.Form();
  form.FormShow();
  EXPECT_EQ(client::FromQt(testsupport::FormControls(form).MaskinNavn->title()),
            "Ingen kontakt med Orvi-Vedo-server (127.0.0.1:1)");
  EXPECT_FALSE(testsupport::FormControls(form).SendButton->isEnabled());
  EXPECT_FALSE(testsupport::FormControls(form).HentButton->isEnabled());
  EXPECT_FALSE(testsupport::FormControls(form).RestartButton->isEnabled());
}

TEST_F(MainWindow, LayoutCaptionsAndTabOrder) {
  auto& form = Start({}, {});
  EXPECT_EQ(form.windowTitle(), "Orvi-Vedo fjernstyring");
  EXPECT_EQ(form.size(), QSize(521, 361));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  const struct {
    QWidget* widget;
    QRect geometry;
    QString text;
  } rows[] = {
      {ui().MaskinNavn, {16, 16, 489, 153}, ""},
      {ui().FilnavnButton, {16, 184, 489, 25}, "Velg CNC-program"},
      {ui().SendButton, {16, 216, 489, 25}, "Send gjeldende program til CNC-maskinen"},
      {ui().HentButton, {16, 248, 489, 25}, "Hent gjeldende program fra CNC-maskinen"},
      {ui().RestartButton, {16, 280, 489, 25}, "Restart aktiv maskin"},
      {ui().BottomPanel, {0, 320, 521, 41}, ""},
      {ui().MaskinButton, {16, 8, 75, 25}, "Maskin"},
      {ui().Rediger, {104, 8, 75, 25}, "Rediger"},
      {ui().AvsluttButton, {432, 8, 75, 25}, "Avslutt"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.widget->objectName().toStdString());
    EXPECT_EQ(row.widget->geometry(), row.geometry);
    if (auto* button = qobject_cast<QPushButton*>(row.widget)) {
      EXPECT_EQ(button->text(), row.text);
    }
  }
  const QLabel* captions[] = {ui().Label1, ui().Label2, ui().Label3, ui().Label4, ui().Label5};
  const char* texts[] = {"Filnavn:", "Status:", "Melding:", "Bytes:", "Resultat:"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(captions[i]->text(), texts[i]);
    EXPECT_EQ(captions[i]->pos(), QPoint(16, 24 + 24 * i));
  }
  EXPECT_FALSE(ui().MaskinButton->icon().isNull());
  EXPECT_FALSE(ui().Rediger->icon().isNull());
  EXPECT_FALSE(ui().AvsluttButton->icon().isNull());

  QWidget* order[] = {ui().FilnavnButton, ui().SendButton,   ui().HentButton, ui().RestartButton,
                      ui().AvsluttButton, ui().MaskinButton, ui().Rediger};
  const auto nextTabStop = [](QWidget* widget) {
    do {
      widget = widget->nextInFocusChain();
    } while (!(widget->focusPolicy() & Qt::TabFocus));
    return widget;
  };
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
    EXPECT_EQ(nextTabStop(order[i]), order[i + 1]) << i;
  }
}

TEST_F(MainWindow, EscapeAndTheQuitButtonClose) {
  for (const bool useEscape : {true, false}) {
    auto& form = Start({}, {});
    form.show();
    if (useEscape) {
      form.activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
      QTest::keyClick(testsupport::FormControls(form).FilnavnButton, Qt::Key_Escape);
    } else {
      testsupport::FormControls(form).AvsluttButton->click();
    }
    EXPECT_TRUE(form.IsClosed()) << useEscape;
  }
}

}  // namespace
