// The active machine and the operator's commands on it, without widgets: the start-up, the
// status refresh, the transfer commands, the machine and program choice and the editor launch.
// The window shows what the session tells it and forwards its events; the calls go through a
// CallRunner, so the window decides on which thread they run.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CallRunner.h"
#include "CommandLine.h"
#include "ServerLink.h"
#include "StatusRecord.h"
#include "TransferWatch.h"

namespace client {

class Prompts;

// How a run ends, for a program that started the client with a command.
enum class ExitStatus : int {
  Success = 0,        // no command given, or its reply was "OK" and the transfer reported done
  CommandFailed = 1,  // the command was refused, the server was not reached, or it never ran
  TransferOpen = 3,   // the command was accepted, but the window closed before the done flag
};

// What the session asks of the window.
class SessionView {
 public:
  virtual ~SessionView() = default;
  virtual void ShowStatus(const StatusRecord& status) = 0;
  // The transfer under way, or nothing when none is.
  virtual void ShowProgress(const std::optional<ProgressView>& progress) = 0;
  virtual void EnableCommands(bool send, bool fetch, bool restart) = 0;
  virtual void HideMachineChoice() = 0;
  // Starts the one-second status refresh; it is never stopped.
  virtual void StartRefresh() = 0;
  virtual void CloseWindow() = 0;
  // The program and machine that a send or fetch would use, each time either changes.
  virtual void ShowTarget(const std::string& /*programFile*/, const std::string& /*machineId*/) {}
  // A command's reply as judged: "OK", or a refusal (our own text when the server was not
  // reached), which the window keeps in sight until the next command.
  virtual void ShowReply(const std::string& /*reply*/) {}
};

class MachineSession {
 public:
  // The arguments without the program name, in cp1252. The calls go through `runner`, with
  // the given bounds; file work whose path comes from the server runs on `files` when given.
  MachineSession(const std::vector<std::string>& arguments, Prompts& prompts, CallRunner& runner,
                 const ServerLimits& limits = {}, FileWorker* files = nullptr);

  // Where the session shows what it learns; nothing is shown before, or after ShowOn(nullptr).
  void ShowOn(SessionView* view);
  // The journal to keep; without one nothing is written.
  void KeepJournal(std::unique_ptr<TransferJournal> journal);

  // The start-up before the window is first shown: configuration warnings, the machine of the
  // command line, and its command.
  void Start();
  // The calls that the start-up makes first, when they are known before it runs: no warning
  // comes before them and the machine is given by number. They are the button list and the
  // status, which change nothing on the server, so they may be asked for ahead.
  struct StartUpCalls {
    ServerLink link;
    std::vector<std::string> requests;
  };
  std::optional<StartUpCalls> FirstCalls() const;
  void SelectMachine(const std::string& address, const std::string& machine,
                     const std::string& file);
  void OppfriskTimerTimer();
  // The timer's tick: the refresh, then, between refreshes and outside every command's
  // sequence, the one look at the machine's directory that sizes a program being sent. The one
  // re-entry by design: a tick may run while a command's dialog is open (the operator watches
  // the transfer while reading a prompt); it never starts or changes that command's sequence.
  void TimerTick();
  // Throws CallCancelled when the call was given up.
  std::string ServerCall(const std::string& request);
  bool RunCommand(const std::string& request);
  // Returns whether the command itself was answered "OK".
  bool HandleCommand(const std::string& command);

  void SendProgram();
  void FetchProgram();
  void RestartMachine();
  void ChooseProgram();
  void ChooseMachine();
  void EditProgram();

  // The window closes: the call under way is given up, and nothing of the sequence that made
  // it happens afterwards (no dialog, no request, no write).
  void Close();
  bool Closed() const { return closed_; }
  // True while a server call is under way.
  bool CallUnderWay() const { return runner_.Busy(); }

  const CommandLine& Line() const { return commandLine_; }
  const std::string& MachineId() const { return machineId_; }
  const std::string& ProgramFile() const { return programFile_; }
  const std::string& ButtonList() const { return buttonList_; }
  bool CommandIssued() const { return commandIssued_; }
  ExitStatus Outcome() const;
  // The server's address as it is set.
  const ServerLink& Link() const { return link_; }

 private:
  // The reply judged: "OK" refreshes the status, anything else is shown.
  bool Judge(const std::string& reply);
  // The call's end as it came; throws CallCancelled or InvalidPort.
  CallResult ServerCallResult(const std::string& request);
  // The operator dialogs, never opened, and never returned from, once the window has closed.
  void Say(const std::string& text);
  void Warn(const std::string& caption, const std::string& text);
  void ThrowIfClosed() const;
  // The server's address from the INI file, empty when it names none.
  std::string ConfiguredAddress() const;
  // The machine that the start-up selects: the command line's, else "1".
  std::string StartMachine() const;

  Prompts& prompts_;
  CallRunner& runner_;
  SessionView* view_;
  const CommandLine commandLine_;
  ServerLink link_;
  TransferWatch transfers_;

  std::string machineId_ = "1";
  std::string programFile_;
  std::string buttonList_;
  bool commandIssued_ = false;
  // What the "Filnavn" label shows: its own caption until the first status arrives.
  std::string shownProgramFile_ = "Filnavn";

  int lastFilterIndex_ = 0;  // the file filter of the last successful pick
  enum class CommandState { None, NotRun, Refused, Accepted, Done };
  CommandState commandState_ = CommandState::None;
  bool closed_ = false;
};

}  // namespace client
