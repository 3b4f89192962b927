#include "MachineSession.h"

#include "Platform.h"
#include "Prompts.h"
#include "Protocol.h"
#include "Util.h"

namespace client {
namespace {

constexpr const char* kDefaultHost = "localhost";

constexpr const char* kReadPrompt = "Trykk \"Read\" p\xE5 styringen!";
constexpr const char* kTransferPrompt =
    "Overf\xF8r CNC-programmene til harddisk-katalogen.\r"
    "Trykk OK n\xE5r overf\xF8ringen er ferdig.";

bool IsPositiveNumber(const std::string& text) {
  int32_t value = 0;
  return util::TryTextToInt(text, value) && value > 0;
}

std::string WithoutTrailingSeparator(std::string directory) {
  if (!directory.empty() && directory.back() == platform::kPathSeparator) directory.pop_back();
  return directory;
}

// The file name without its directory and without its last extension.
std::string BareName(const std::string& path) {
  std::string name = path.substr(path.rfind(platform::kPathSeparator) + 1);
  const auto dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

// Shows nothing, until the window is there.
class NoView : public SessionView {
 public:
  void ShowStatus(const StatusRecord&) override {}
  void ShowProgress(const std::optional<ProgressView>&) override {}
  void EnableCommands(bool, bool, bool) override {}
  void HideMachineChoice() override {}
  void StartRefresh() override {}
  void CloseWindow() override {}
};
NoView noView;

}  // namespace

MachineSession::MachineSession(const std::vector<std::string>& arguments, Prompts& prompts,
                               CallRunner& runner, const ServerLimits& limits, FileWorker* files)
    : prompts_(prompts),
      runner_(runner),
      view_(&noView),
      commandLine_(CommandLine::Parse(arguments)),
      transfers_(TransferWatch::Clock::now, files) {
  link_.SetLimits(limits);
}

void MachineSession::ShowOn(SessionView* view) { view_ = view != nullptr ? view : &noView; }

void MachineSession::KeepJournal(std::unique_ptr<TransferJournal> journal) {
  transfers_.KeepJournal(std::move(journal));
}

void MachineSession::Start() {
  if (!platform::FileExists(util::IniFile())) Warn("Vedo.ini eksisterer ikke", util::IniFile());
  std::string address = ConfiguredAddress();
  if (address.empty()) {
    Warn("[VedoTcp] VedoIP=xxx.xxx.xxx.xxx mangler", util::IniFile());
    address = kDefaultHost;
  }
  if (!commandLine_.machine.empty()) view_->HideMachineChoice();
  const std::string machine = StartMachine();
  if (!commandLine_.command.empty()) commandState_ = CommandState::NotRun;
  SelectMachine(address, machine, commandLine_.file);
  if (!commandLine_.command.empty()) {
    HandleCommand(commandLine_.command + ";" + machineId_ + ";" + commandLine_.file);
  }
}

std::optional<MachineSession::StartUpCalls> MachineSession::FirstCalls() const {
  if (!platform::FileExists(util::IniFile())) return std::nullopt;
  const std::string address = ConfiguredAddress();
  const std::string machine = StartMachine();
  if (address.empty() || !IsPositiveNumber(machine)) return std::nullopt;
  StartUpCalls calls{link_, {ButtonsRequest(machine), StatusRequest(machine)}};
  calls.link.SetAddress(address);
  return calls;
}

std::string MachineSession::ConfiguredAddress() const {
  return util::ReadIni("VedoTcp", "VedoIP", "");
}

std::string MachineSession::StartMachine() const {
  return commandLine_.machine.empty() ? "1" : commandLine_.machine;
}

void MachineSession::SelectMachine(const std::string& address, const std::string& machine,
                                   const std::string& file) {
  if (!address.empty()) link_.SetAddress(address);
  transfers_.MachineSelected();
  if (IsPositiveNumber(machine)) {
    machineId_ = machine;
  } else {
    const std::string number = ServerCall(MachineNumberRequest(machine));
    machineId_ = IsPositiveNumber(number) ? number : machine;
  }
  programFile_ = file;
  view_->ShowTarget(programFile_, machineId_);
  buttonList_ = ServerCall(ButtonsRequest(machineId_));
  view_->EnableCommands(HasMarker(buttonList_, kSendMarker), HasMarker(buttonList_, kHentMarker),
                        HasMarker(buttonList_, kRestartMarker));
  OppfriskTimerTimer();
  view_->StartRefresh();
}

void MachineSession::OppfriskTimerTimer() {
  const StatusRecord status = StatusRecord::Parse(ServerCall(StatusRequest(machineId_)));
  shownProgramFile_ = status.programFile;
  // The journal has its line before a done flag can close the window.
  transfers_.StatusShown(machineId_, status);
  view_->ShowStatus(status);
  view_->ShowProgress(transfers_.Progress());
  if (status.Done() && commandLine_.startedByProgram && commandIssued_ && !closed_) {
    if (commandState_ == CommandState::Accepted) commandState_ = CommandState::Done;
    view_->CloseWindow();
  }
}

void MachineSession::TimerTick() {
  OppfriskTimerTimer();
  if (closed_ || !transfers_.DirectoryWanted(machineId_)) return;
  const CallResult directory = ServerCallResult(DirectoryRequest(machineId_));
  // Only the server's own line names a directory; our texts for a failed call do not.
  transfers_.DirectoryAnswered(directory.outcome == CallOutcome::Answered
                                   ? std::optional<std::string>(directory.line)
                                   : std::nullopt);
  view_->ShowProgress(transfers_.Progress());
}

CallResult MachineSession::ServerCallResult(const std::string& request) {
  ThrowIfClosed();
  const CallResult result = runner_.Run(link_, request);
  if (result.outcome == CallOutcome::Cancelled) throw CallCancelled();
  ThrowIfClosed();
  if (result.outcome == CallOutcome::InvalidPort) throw InvalidPort(result.line);
  return result;
}

std::string MachineSession::ServerCall(const std::string& request) {
  return link_.ReplyText(ServerCallResult(request));
}

bool MachineSession::Judge(const std::string& reply) {
  view_->ShowReply(reply);
  if (IsOk(reply)) {
    OppfriskTimerTimer();
    return true;
  }
  Say(reply);
  return false;
}

bool MachineSession::RunCommand(const std::string& request) { return Judge(ServerCall(request)); }

bool MachineSession::HandleCommand(const std::string& command) {
  const CommandParts parts = SplitCommand(command);
  if (parts.word == "SEND" && !HasMarker(buttonList_, kAutoMarker)) {
    RunCommand(FileNameRequest(parts.machine, parts.file));
    Say(kReadPrompt);
  }
  if ((parts.word == "HENT" || parts.word == "GET") && HasMarker(buttonList_, kSlettMarker)) {
    // The delete is journalled as a command of its own.
    const std::string slett = SlettRequest(parts.machine, parts.file);
    const std::string reply = ServerCall(slett);
    transfers_.CommandAnswered(slett, reply);
    Judge(reply);
    Say(kTransferPrompt);
  }
  const std::string reply = ServerCall(command);
  transfers_.CommandAnswered(command, reply);
  const bool accepted = IsOk(reply);
  // The outcome of the command line's command is known from its reply on, whatever follows.
  if (commandState_ == CommandState::NotRun) {
    commandState_ = accepted ? CommandState::Accepted : CommandState::Refused;
  }
  Judge(reply);
  commandIssued_ = true;
  return accepted;
}

void MachineSession::SendProgram() { HandleCommand(SendRequest(machineId_, programFile_)); }

void MachineSession::FetchProgram() { HandleCommand(HentRequest(machineId_, programFile_)); }

void MachineSession::RestartMachine() {
  const std::string request = RestartRequest(machineId_);
  const std::string reply = ServerCall(request);
  transfers_.CommandAnswered(request, reply);
  Judge(reply);
}

void MachineSession::ChooseProgram() {
  const std::string directory = ServerCall(DirectoryRequest(machineId_));
  const std::string protocol = ServerCall(ProtocolRequest(machineId_));
  const bool bareNames = util::UpperText(protocol) == util::UpperText("WinTool");

  const std::string initialDirectory = WithoutTrailingSeparator(directory);
  const auto pick = prompts_.PickFile(
      {initialDirectory, initialDirectory + platform::kPathSeparator + "*.*", lastFilterIndex_});
  ThrowIfClosed();
  if (pick) {
    lastFilterIndex_ = pick->filterIndex;
    const std::string& path = pick->path;
    if (bareNames) {
      programFile_ = BareName(path);
    } else if (util::UpperText(path.substr(0, directory.size())) == util::UpperText(directory)) {
      programFile_ = path.substr(directory.size());
    } else {
      programFile_ = path;
    }
    view_->ShowTarget(programFile_, machineId_);
  }
  RunCommand(FileNameRequest(machineId_, programFile_));
}

void MachineSession::ChooseMachine() {
  const std::string machines = ServerCall(kMachinesRequest);
  const Choice choice = prompts_.Choose("Velg Maskin", machines);
  ThrowIfClosed();
  if (choice.ok && !choice.selected.empty()) SelectMachine("", choice.selected, programFile_);
}

void MachineSession::EditProgram() {
  const std::string& name = shownProgramFile_;
  const std::string path =
      platform::IsFullPath(name) ? name : ServerCall(DirectoryRequest(machineId_)) + name;
  util::StartProgram(platform::ProgramDirectory() + "VedoEdit" + platform::kProgramSuffix,
                     "\"" + path + "\" " + machineId_, "", 1);
}

void MachineSession::Close() {
  closed_ = true;
  runner_.Cancel();
}

void MachineSession::Say(const std::string& text) {
  ThrowIfClosed();
  prompts_.Message(text);
  ThrowIfClosed();
}

void MachineSession::Warn(const std::string& caption, const std::string& text) {
  ThrowIfClosed();
  prompts_.Warning(caption, text);
  ThrowIfClosed();
}

void MachineSession::ThrowIfClosed() const {
  if (closed_) throw CallCancelled();
}

ExitStatus MachineSession::Outcome() const {
  switch (commandState_) {
    case CommandState::None:
    case CommandState::Done:
      return ExitStatus::Success;
    case CommandState::Accepted:
      return ExitStatus::TransferOpen;
    case CommandState::NotRun:
    case CommandState::Refused:
      break;
  }
  return ExitStatus::CommandFailed;
}

}  // namespace client
