// The main window: the active machine, its live status, and the operator's commands.
#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "ServerLink.h"

class QTimer;

namespace Ui {
class VedoForm;
}

namespace client {

class Prompts;

// How a run ends, for a program that started the client with a command.
enum class ExitStatus : int {
  Success = 0,        // no command given, or its reply was "OK" and the transfer reported done
  CommandFailed = 1,  // the command was refused, the server was not reached, or it never ran
  TransferOpen = 3,   // the command was accepted, but the window closed before the done flag
};

class TVedoForm : public QWidget {
  Q_OBJECT

 public:
  // The arguments without the program name, in cp1252.
  TVedoForm(const std::vector<std::string>& arguments, Prompts& prompts, QWidget* parent = nullptr);
  ~TVedoForm() override;

  // Runs the start-up (FormShow) and then shows the window, unless it closed meanwhile.
  void OpenWindow();

  void FormShow();
  void SelectMachine(const std::string& address, const std::string& machine,
                     const std::string& file);
  void OppfriskTimerTimer();
  std::string ServerCall(const std::string& request);
  bool RunCommand(const std::string& request);
  // Returns whether the command itself was answered "OK".
  bool HandleCommand(const std::string& command);

  void AvsluttButtonClick();
  void FilnavnButtonClick();
  void SendButtonClick();
  void HentButtonClick();
  void RestartButtonClick();
  void MaskinButtonClick();
  void RedigerClick();

  const std::string& MachineId() const { return machineId_; }
  const std::string& ProgramFile() const { return programFile_; }
  const std::string& ButtonList() const { return buttonList_; }
  bool CommandIssued() const { return commandIssued_; }
  bool IsClosed() const { return closed_; }
  ExitStatus Outcome() const;
  ServerLink& TcpClient() { return *tcpClient_; }
  // Puts another link in place of the TCP client (tests that must not reach any port).
  void ReplaceTcpClient(std::unique_ptr<ServerLink> link) { tcpClient_ = std::move(link); }
  Ui::VedoForm& Controls() { return *ui; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  // Connects a control's signal to a handler that runs inside the failure guard.
  template <typename Sender, typename Signal>
  void ConnectGuarded(Sender* sender, Signal signal, void (TVedoForm::*handler)());

  std::unique_ptr<Ui::VedoForm> ui;
  Prompts& prompts_;
  const CommandLine commandLine_;
  std::unique_ptr<ServerLink> tcpClient_ = std::make_unique<ServerLink>();
  QTimer* oppfriskTimer_;

  std::string machineId_ = "1";
  std::string programFile_;
  std::string buttonList_;
  bool commandIssued_ = false;

  int lastFilterIndex_ = 0;  // the file filter of the last successful pick
  enum class CommandState { None, NotRun, Refused, Accepted, Done };
  CommandState commandState_ = CommandState::None;
  bool closed_ = false;
};

}  // namespace client
