#include "VedoTcpU.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTimer>

#include "Guard.h"
#include "Platform.h"
#include "Prompts.h"
#include "QtText.h"
#include "Util.h"
#include "ui_VedoTcpU.h"

namespace client {
namespace {

constexpr int kRefreshInterval = 1000;  // ms
constexpr const char* kDefaultHost = "localhost";

// Button-list markers, each with its ";" on both sides.
constexpr const char* kSendMarker = ";SEND;";
constexpr const char* kHentMarker = ";HENT;";
constexpr const char* kRestartMarker = ";RESTART;";
constexpr const char* kAutoMarker = ";AUTO;";
constexpr const char* kSlettMarker = ";SLETT;";

constexpr const char* kReadPrompt = "Trykk \"Read\" p\xE5 styringen!";
constexpr const char* kTransferPrompt =
    "Overf\xF8r CNC-programmene til harddisk-katalogen.\r"
    "Trykk OK n\xE5r overf\xF8ringen er ferdig.";

bool Contains(const std::string& text, const char* marker) {
  return text.find(marker) != std::string::npos;
}

bool IsPositiveNumber(const std::string& text) {
  int32_t value = 0;
  return util::TryTextToInt(text, value) && value > 0;
}

// Capitals of the letters a to z only.
std::string UpperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// A group-box title would take "&" as a keyboard mnemonic.
QString LiteralTitle(const std::string& text) { return ToQt(text).replace('&', "&&"); }

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

}  // namespace

TVedoForm::TVedoForm(const std::vector<std::string>& arguments, Prompts& prompts, QWidget* parent)
    : QWidget(parent),
      ui(std::make_unique<Ui::VedoForm>()),
      prompts_(prompts),
      commandLine_(CommandLine::Parse(arguments)),
      oppfriskTimer_(new QTimer(this)) {
  ui->setupUi(this);
  FormCreate();
}

TVedoForm::~TVedoForm() = default;

template <typename Sender, typename Signal>
void TVedoForm::ConnectGuarded(Sender* sender, Signal signal, void (TVedoForm::*handler)()) {
  connect(sender, signal, this,
          [this, handler] { RunGuarded(prompts_, [&] { (this->*handler)(); }); });
}

void TVedoForm::FormCreate() {
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setBackgroundRole(QPalette::Button);
  setAutoFillBackground(true);
  ui->MaskinButton->setIcon(style()->standardIcon(QStyle::SP_ComputerIcon));
  ui->Rediger->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
  ui->AvsluttButton->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
  oppfriskTimer_->setInterval(kRefreshInterval);

  ConnectGuarded(oppfriskTimer_, &QTimer::timeout, &TVedoForm::OppfriskTimerTimer);
  ConnectGuarded(ui->FilnavnButton, &QPushButton::clicked, &TVedoForm::FilnavnButtonClick);
  ConnectGuarded(ui->SendButton, &QPushButton::clicked, &TVedoForm::SendButtonClick);
  ConnectGuarded(ui->HentButton, &QPushButton::clicked, &TVedoForm::HentButtonClick);
  ConnectGuarded(ui->RestartButton, &QPushButton::clicked, &TVedoForm::RestartButtonClick);
  ConnectGuarded(ui->MaskinButton, &QPushButton::clicked, &TVedoForm::MaskinButtonClick);
  ConnectGuarded(ui->Rediger, &QPushButton::clicked, &TVedoForm::RedigerClick);
  ConnectGuarded(ui->AvsluttButton, &QPushButton::clicked, &TVedoForm::AvsluttButtonClick);
  // The quit button is the window's cancel button.
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated,
          ui->AvsluttButton, &QPushButton::click);

  commandIssued_ = false;
  if (commandLine_.startedByProgram) {
    setWindowFlag(Qt::WindowStaysOnTopHint);
    ui->Rediger->hide();
  }
}

void TVedoForm::OpenWindow() {
  // Placed first, so that the start-up's warnings, which it owns, stand over its place.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  RunGuarded(prompts_, [this] { FormShow(); });
  if (!closed_) show();
}

void TVedoForm::FormShow() {
  if (!platform::FileExists(util::IniFile())) {
    prompts_.Warning("Vedo.ini eksisterer ikke", util::IniFile());
  }
  std::string address = util::ReadIni("VedoTcp", "VedoIP", "");
  if (address.empty()) {
    prompts_.Warning("[VedoTcp] VedoIP=xxx.xxx.xxx.xxx mangler", util::IniFile());
    address = kDefaultHost;
  }
  std::string machine = commandLine_.machine;
  if (machine.empty()) {
    machine = "1";
  } else {
    ui->MaskinButton->hide();
  }
  if (!commandLine_.command.empty()) commandState_ = CommandState::NotRun;
  SelectMachine(address, machine, commandLine_.file);
  if (!commandLine_.command.empty()) {
    const bool accepted =
        HandleCommand(commandLine_.command + ";" + machineId_ + ";" + commandLine_.file);
    if (commandState_ == CommandState::NotRun) {
      commandState_ = accepted ? CommandState::Accepted : CommandState::Refused;
    }
  }
}

void TVedoForm::SelectMachine(const std::string& address, const std::string& machine,
                              const std::string& file) {
  if (!address.empty()) tcpClient_->SetAddress(address);
  if (IsPositiveNumber(machine)) {
    machineId_ = machine;
  } else {
    const std::string number = ServerCall("Maskin;" + machine);
    machineId_ = IsPositiveNumber(number) ? number : machine;
  }
  programFile_ = file;
  buttonList_ = ServerCall("Knapper;" + machineId_);
  ui->SendButton->setEnabled(Contains(buttonList_, kSendMarker));
  ui->HentButton->setEnabled(Contains(buttonList_, kHentMarker));
  ui->RestartButton->setEnabled(Contains(buttonList_, kRestartMarker));
  OppfriskTimerTimer();
  oppfriskTimer_->start();
}

void TVedoForm::OppfriskTimerTimer() {
  std::string reply = ServerCall("Status;" + machineId_);
  std::string fields[7];
  for (auto& field : fields) field = NextField(reply);
  ui->MaskinNavn->setTitle(LiteralTitle(fields[0]));
  ui->Filnavn->setText(ToQt(fields[1]));
  ui->Status->setText(ToQt(fields[2]));
  ui->Melding->setText(ToQt(fields[3]));
  ui->Bytes->setText(ToQt(fields[4]));
  ui->Resultat->setText(ToQt(fields[5]));
  if (fields[6] == "1" && commandLine_.startedByProgram && commandIssued_ && !closed_) {
    if (commandState_ == CommandState::Accepted) commandState_ = CommandState::Done;
    close();
  }
}

std::string TVedoForm::ServerCall(const std::string& request) { return tcpClient_->Call(request); }

bool TVedoForm::RunCommand(const std::string& request) {
  const std::string reply = ServerCall(request);
  if (reply == "OK") {
    OppfriskTimerTimer();
    return true;
  }
  prompts_.Message(reply);
  return false;
}

bool TVedoForm::HandleCommand(const std::string& command) {
  std::string rest = command;
  const std::string word = UpperAscii(NextField(rest));
  const std::string machine = NextField(rest);
  const std::string file = NextField(rest);
  if (word == "SEND" && !Contains(buttonList_, kAutoMarker)) {
    RunCommand("Filnavn;" + machine + ";" + file);
    prompts_.Message(kReadPrompt);
  }
  if ((word == "HENT" || word == "GET") && Contains(buttonList_, kSlettMarker)) {
    RunCommand("Slett;" + machine + ";" + file);
    prompts_.Message(kTransferPrompt);
  }
  const bool accepted = RunCommand(command);
  commandIssued_ = true;
  return accepted;
}

void TVedoForm::AvsluttButtonClick() { close(); }

void TVedoForm::SendButtonClick() { HandleCommand("Send;" + machineId_ + ";" + programFile_); }

void TVedoForm::HentButtonClick() { HandleCommand("Hent;" + machineId_ + ";" + programFile_); }

void TVedoForm::RestartButtonClick() { RunCommand("Restart;" + machineId_); }

void TVedoForm::FilnavnButtonClick() {
  const std::string directory = ServerCall("Maskin-Les;" + machineId_ + ";Katalog;");
  const std::string protocol = ServerCall("Maskin-Les;" + machineId_ + ";Protokoll;");
  const bool bareNames = util::UpperText(protocol) == util::UpperText("WinTool");

  const std::string initialDirectory = WithoutTrailingSeparator(directory);
  const auto pick = prompts_.PickFile(
      {initialDirectory, initialDirectory + platform::kPathSeparator + "*.*", lastFilterIndex_});
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
  }
  RunCommand("Filnavn;" + machineId_ + ";" + programFile_);
}

void TVedoForm::MaskinButtonClick() {
  const Choice choice = prompts_.Choose("Velg Maskin", ServerCall("Maskiner"));
  if (choice.ok && !choice.selected.empty()) SelectMachine("", choice.selected, programFile_);
}

void TVedoForm::RedigerClick() {
  const std::string name = FromQt(ui->Filnavn->text());
  const bool fullPath = name.find(':') != std::string::npos ||
                        name.find("\\\\") != std::string::npos || platform::BeginsAtRoot(name);
  const std::string path =
      fullPath ? name : ServerCall("Maskin-Les;" + machineId_ + ";Katalog;") + name;
  util::StartProgram(platform::ProgramDirectory() + "VedoEdit" + platform::kProgramSuffix,
                     "\"" + path + "\" " + machineId_, "", 1);
}

ExitStatus TVedoForm::Outcome() const {
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

void TVedoForm::closeEvent(QCloseEvent* event) {
  closed_ = true;
  event->accept();
}

}  // namespace client
