// A main window against a scripted server, with the fake operator dialogs and an INI file of
// the test's own.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FakePrompts.h"
#include "MachineSession.h"
#include "ModuleState.h"
#include "QtCallRunner.h"
#include "QtText.h"
#include "ScriptedServer.h"
#include "TempDir.h"
#include "Util.h"
#include "VedoTcpU.h"

namespace testsupport {

// The child of `parent` with that object name and type; a missing one fails the test.
template <typename Widget>
Widget* Child(QWidget& parent, const char* name) {
  auto* widget = parent.findChild<Widget*>(name);
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

// The main window's controls, found by their object names.
struct FormControls {
  explicit FormControls(QWidget& form)
      : MaskinNavn(Child<QGroupBox>(form, "MaskinNavn")),
        Label1(Child<QLabel>(form, "Label1")),
        Label2(Child<QLabel>(form, "Label2")),
        Label3(Child<QLabel>(form, "Label3")),
        Label4(Child<QLabel>(form, "Label4")),
        Label5(Child<QLabel>(form, "Label5")),
        Filnavn(Child<QLabel>(form, "Filnavn")),
        Status(Child<QLabel>(form, "Status")),
        Melding(Child<QLabel>(form, "Melding")),
        Bytes(Child<QLabel>(form, "Bytes")),
        Resultat(Child<QLabel>(form, "Resultat")),
        FremdriftBar(Child<QProgressBar>(form, "FremdriftBar")),
        FilnavnButton(Child<QPushButton>(form, "FilnavnButton")),
        SendButton(Child<QPushButton>(form, "SendButton")),
        HentButton(Child<QPushButton>(form, "HentButton")),
        RestartButton(Child<QPushButton>(form, "RestartButton")),
        BottomPanel(Child<QFrame>(form, "BottomPanel")),
        MaskinButton(Child<QPushButton>(form, "MaskinButton")),
        Rediger(Child<QPushButton>(form, "Rediger")),
        AvsluttButton(Child<QPushButton>(form, "AvsluttButton")) {}

  QGroupBox* MaskinNavn;
  QLabel *Label1, *Label2, *Label3, *Label4, *Label5;
  QLabel *Filnavn, *Status, *Melding, *Bytes, *Resultat;
  QProgressBar* FremdriftBar;
  QPushButton *FilnavnButton, *SendButton, *HentButton, *RestartButton;
  QFrame* BottomPanel;
  QPushButton *MaskinButton, *Rediger, *AvsluttButton;
};

// Lets the event loop run until the condition holds or the deadline passes; the condition's
// last value.
inline bool RunEventLoopUntil(const std::function<bool()>& condition, int deadlineMs = 10000) {
  QEventLoop loop;
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > deadlineMs) return false;
    loop.processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

// Bounds short enough for tests.
inline constexpr client::ServerLimits kTestLimits{std::chrono::milliseconds(1000),
                                                  std::chrono::milliseconds(2000), 64 * 1024};

// How the start-up's first calls go out: when the start-up makes them, or read ahead while the
// form is built, as the program's entry does.
enum class FirstCalls { WhenMade, ReadAhead };

// A window as the program's entry makes it: the call thread, the session and the form. The
// calls go through `runner` when one is given.
class Window {
 public:
  Window(const std::vector<std::string>& arguments, client::Prompts& prompts,
         const client::ServerLimits& limits = kTestLimits, client::CallRunner* runner = nullptr,
         FirstCalls first = FirstCalls::WhenMade)
      : session_(arguments, prompts, runner != nullptr ? *runner : calls_, limits, &files_),
        readAhead_(first == FirstCalls::ReadAhead && ReadAhead()),
        form_(session_, prompts) {}

  client::TVedoForm& Form() { return form_; }
  client::MachineSession& Session() { return session_; }
  client::FileWorker& Files() { return files_; }
  // Whether the start-up's first calls were read ahead.
  bool ReadAheadStarted() const { return readAhead_; }

 private:
  bool ReadAhead() {
    const auto first = session_.FirstCalls();
    if (first) calls_.ReadAhead(first->link, first->requests);
    return first.has_value();
  }

  client::FileWorker files_{std::chrono::milliseconds(100)};
  client::QtCallRunner calls_;
  client::MachineSession session_;
  const bool readAhead_;
  client::TVedoForm form_;
};

// A machine 3 that can send and fetch, with a program directory and a status.
inline std::map<std::string, std::string> Machine3(const std::string& buttons) {
  return {{"Knapper;3", buttons},
          {"Status;3", "Fres 3;P1.NC;Klar;Venter;0;;0"},
          {"Maskin;Fres 3", "3"},
          {"Maskin-Les;3;Katalog;", "/nc/m3/"},
          {"Maskin-Les;3;Protokoll;", "Heidenhain"}};
}

class FormTest : public ::testing::Test {
 protected:
  FormTest() : server_(std::map<std::string, std::string>{}, "OK") {}

  void TearDown() override { util::StopModule(); }

  // Writes the INI file with the server's address (or the given VedoIP text).
  void WriteIni(const std::string& vedoIp) {
    util::detail::State().iniFile =
        dir_.Write("Vedo.ini", "[VedoTcp]\r\nVedoIP=" + vedoIp + "\r\n");
  }

  client::TVedoForm& Start(const std::vector<std::string>& arguments,
                           const std::map<std::string, std::string>& table,
                           const std::string& fallback = "OK",
                           const client::ServerLimits& limits = kTestLimits,
                           client::CallRunner* runner = nullptr) {
    if (util::IniFile().empty()) WriteIni(server_.Address());
    server_.SetTable(table, fallback);
    window_ = std::make_unique<Window>(arguments, prompts_, limits, runner);
    window_->Form().FormShow();
    return window_->Form();
  }

  // The requests since the last call.
  std::vector<std::string> TakeRequests() {
    auto requests = server_.Requests();
    server_.ClearRequests();
    return requests;
  }

  FormControls ui() { return FormControls(window_->Form()); }

  TempDir dir_;
  ScriptedServer server_;
  FakePrompts prompts_;
  std::unique_ptr<Window> window_;
};

}  // namespace testsupport
