// The main window: shows the active machine's status and forwards the operator's commands to
// the session, whose server calls run off the window's thread.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "MachineSession.h"
#include "StatusRow.h"

class QTimer;

namespace Ui {
class VedoForm;
}

namespace client {

class JournalView;
class Prompts;

class TVedoForm : public QWidget, private SessionView {
  Q_OBJECT

 public:
  // Shows the session and forwards the operator's commands to it.
  TVedoForm(MachineSession& session, Prompts& prompts, QWidget* parent = nullptr);
  ~TVedoForm() override;

  // Shows the window. A command of the command line runs first, so that its prompts stand
  // alone; otherwise the window shows at once and the start-up runs while it does.
  void OpenWindow();

  void FormShow() { session_.Start(); }
  void SelectMachine(const std::string& address, const std::string& machine,
                     const std::string& file) {
    session_.SelectMachine(address, machine, file);
  }
  void OppfriskTimerTimer() { session_.OppfriskTimerTimer(); }
  std::string ServerCall(const std::string& request) { return session_.ServerCall(request); }
  bool RunCommand(const std::string& request) { return session_.RunCommand(request); }
  bool HandleCommand(const std::string& command) { return session_.HandleCommand(command); }

  void AvsluttButtonClick() { close(); }
  void FilnavnButtonClick() { session_.ChooseProgram(); }
  void SendButtonClick() { session_.SendProgram(); }
  void HentButtonClick() { session_.FetchProgram(); }
  void RestartButtonClick() { session_.RestartMachine(); }
  void MaskinButtonClick() { session_.ChooseMachine(); }
  void RedigerClick() { session_.EditProgram(); }
  // The journal's own window, opened by Ctrl+J and from the window's context menu.
  void OpenJournal();

  const std::string& MachineId() const { return session_.MachineId(); }
  const std::string& ProgramFile() const { return session_.ProgramFile(); }
  const std::string& ButtonList() const { return session_.ButtonList(); }
  bool CommandIssued() const { return session_.CommandIssued(); }
  bool IsClosed() const { return session_.Closed(); }
  // True while a server call is under way.
  bool CallUnderWay() const { return session_.CallUnderWay(); }
  bool RefreshStarted() const;
  ExitStatus Outcome() const { return session_.Outcome(); }
  // The machine's status and the transfer's row, which the prompts leave in sight.
  const QWidget* StatusPanel() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  void TimerTick() { session_.TimerTick(); }
  // Connects a control's signal to a handler that runs inside the failure guard. Unless
  // `always`, the handler is not run while a call is under way.
  template <typename Sender, typename Signal>
  void ConnectGuarded(Sender* sender, Signal signal, void (TVedoForm::*handler)(),
                      bool always = false);

  void ShowStatus(const StatusRecord& status) override;
  void ShowProgress(const std::optional<ProgressView>& progress) override;
  void EnableCommands(bool send, bool fetch, bool restart) override;
  void HideMachineChoice() override;
  void StartRefresh() override;
  void CloseWindow() override;
  void ShowTarget(const std::string& programFile, const std::string& machineId) override;
  void ShowReply(const std::string& reply) override;
  // The taskbar button follows the row below "Resultat".
  void ShowOnTaskbar();

  std::unique_ptr<Ui::VedoForm> ui;
  MachineSession& session_;
  Prompts& prompts_;
  QTimer* oppfriskTimer_;
  std::unique_ptr<StatusRow> statusRow_;
  QPointer<JournalView> journalView_;
  bool closing_ = false;  // the close waits a moment, so that the transfer's end is read
};

}  // namespace client
