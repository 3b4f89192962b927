#include "VedoTcpU.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

#include "ButtonGlyphs.h"
#include "Colours.h"
#include "ConnectingSign.h"
#include "FocusRing.h"
#include "Guard.h"
#include "JournalView.h"
#include "Prompts.h"
#include "Protocol.h"
#include "QtText.h"
#include "ShownText.h"
#include "Taskbar.h"
#include "ui_VedoTcpU.h"

namespace client {
namespace {

constexpr int kRefreshInterval = 1000;  // ms
// How long a program-started window shows the transfer's end before it closes.
constexpr int kDoneShownMs = 800;
// How long the operator's window holds its first paint for the start-up's answers: a server
// that answers at once is seen with its status, not with the first captions for a moment; a
// slower one leaves the window its first captions until it answers.
constexpr int kFirstPaintWaitMs = 50;

QString Shown(const std::string& text) { return OnOneLine(ToQt(text)); }

void ShowColoured(QLabel& label, const std::string& text, const QColor& colour) {
  colours::PaintText(label, colour);
  ShowElided(label, Shown(text));
}

}  // namespace

TVedoForm::TVedoForm(MachineSession& session, Prompts& prompts, QWidget* parent)
    : QWidget(parent),
      ui(std::make_unique<Ui::VedoForm>()),
      session_(session),
      prompts_(prompts),
      oppfriskTimer_(new QTimer(this)) {
  ui->setupUi(this);
  session_.ShowOn(this);
  FormCreate();
}

TVedoForm::~TVedoForm() { session_.ShowOn(nullptr); }

template <typename Sender, typename Signal>
void TVedoForm::ConnectGuarded(Sender* sender, Signal signal, void (TVedoForm::*handler)(),
                               bool always) {
  connect(sender, signal, this, [this, handler, always] {
    if (!always && session_.CallUnderWay()) return;  // the window waits for the call under way
    RunGuarded(prompts_, [&] { (this->*handler)(); });
  });
}

void TVedoForm::FormCreate() {
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setBackgroundRole(QPalette::Button);
  setAutoFillBackground(true);
  ui->MaskinButton->setIcon(glyphs::Machine(palette()));
  ui->Rediger->setIcon(glyphs::Edit(palette()));
  ui->AvsluttButton->setIcon(glyphs::Cancel());
  oppfriskTimer_->setInterval(kRefreshInterval);
  colours::ReadableDisabledText(*this);
  statusRow_ = std::make_unique<StatusRow>(*ui->FremdriftBar, *ui->FremdriftTekst);
  ShowTarget(session_.ProgramFile(), session_.MachineId());
  new FocusRing(*this);
  // Return and Enter press the focused button, as Space does.
  for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(true);
  const std::pair<QLabel*, const char*> names[] = {{ui->Filnavn, "Filnavn"},
                                                   {ui->Status, "Status"},
                                                   {ui->Melding, "Melding"},
                                                   {ui->Bytes, "Bytes"},
                                                   {ui->Resultat, "Resultat"}};
  for (const auto& [label, name] : names) label->setAccessibleName(name);

  // A tick that falls while a call is under way is skipped, never queued.
  ConnectGuarded(oppfriskTimer_, &QTimer::timeout, &TVedoForm::TimerTick);
  ConnectGuarded(ui->FilnavnButton, &QPushButton::clicked, &TVedoForm::FilnavnButtonClick);
  ConnectGuarded(ui->SendButton, &QPushButton::clicked, &TVedoForm::SendButtonClick);
  ConnectGuarded(ui->HentButton, &QPushButton::clicked, &TVedoForm::HentButtonClick);
  ConnectGuarded(ui->RestartButton, &QPushButton::clicked, &TVedoForm::RestartButtonClick);
  ConnectGuarded(ui->MaskinButton, &QPushButton::clicked, &TVedoForm::MaskinButtonClick);
  ConnectGuarded(ui->Rediger, &QPushButton::clicked, &TVedoForm::RedigerClick);
  ConnectGuarded(ui->AvsluttButton, &QPushButton::clicked, &TVedoForm::AvsluttButtonClick, true);
  auto* journal = new QAction(QString::fromUtf8("Vis overføringsjournalen"), this);
  journal->setObjectName("JournalAction");
  journal->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_J));
  addAction(journal);
  setContextMenuPolicy(Qt::ActionsContextMenu);
  connect(journal, &QAction::triggered, this,
          [this] { RunGuarded(prompts_, [this] { OpenJournal(); }); });
  // The quit button is the window's cancel button.
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated,
          ui->AvsluttButton, &QPushButton::click);

  if (session_.Line().startedByProgram) {
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
  if (session_.Line().command.empty()) {
    setUpdatesEnabled(false);
    show();
    QTimer::singleShot(kFirstPaintWaitMs, this, [this] { setUpdatesEnabled(true); });
    QTimer::singleShot(0, this, [this] {
      RunGuarded(prompts_, [this] { FormShow(); });
      setUpdatesEnabled(true);
    });
    return;
  }
  // A slow server gets a sign of life while the start-up waits for it.
  ConnectingSign sign(
      [this] { return session_.CallUnderWay(); },
      [this] { return ToQt(session_.Link().Host() + ":" + session_.Link().Port()); },
      [this] { close(); });
  sign.Start();
  RunGuarded(prompts_, [this] { FormShow(); });
  sign.Stop();
  if (!IsClosed()) show();
}

void TVedoForm::ShowStatus(const StatusRecord& status) {
  const ServerLink& link = session_.Link();
  // Our own texts for a server out of reach stand out from a machine's name.
  const bool unreached =
      status.machineName == link.NoContactReply() || status.machineName == link.NoAnswerReply();
  colours::PaintTitle(*ui->MaskinNavn, unreached ? colours::kRefused : QColor());
  ShowElidedTitle(*ui->MaskinNavn, Shown(status.machineName));
  ShowElided(*ui->Filnavn, Shown(status.programFile), Qt::ElideLeft);
  ShowElided(*ui->Status, Shown(status.status));
  ShowElided(*ui->Melding, Shown(status.message));
  ShowElided(*ui->Bytes, Shown(status.bytes));
  const QColor result = status.result.empty() ? QColor()
                        : IsOk(status.result) ? colours::kOk
                                              : colours::kRefused;
  ShowColoured(*ui->Resultat, status.result, result);
  statusRow_->ShowStatus(status);
}

void TVedoForm::ShowProgress(const std::optional<ProgressView>& progress) {
  if (statusRow_->ShowProgress(progress, QTime::currentTime())) QApplication::alert(this);
  ShowOnTaskbar();
}

void TVedoForm::ShowTarget(const std::string& programFile, const std::string& machineId) {
  statusRow_->ShowTarget(ToQt(programFile), ToQt(machineId));
  for (QPushButton* button : {ui->SendButton, ui->HentButton}) {
    button->setToolTip(statusRow_->TargetText());
    button->setAccessibleDescription(statusRow_->TargetText());
  }
}

void TVedoForm::ShowReply(const std::string& reply) {
  statusRow_->ShowReply(ToQt(reply), QTime::currentTime());
  ShowOnTaskbar();
}

void TVedoForm::ShowOnTaskbar() {
  const WId window = internalWinId();
  if (window == 0) return;  // no native window yet
  platform::ShowTaskbarProgress(static_cast<std::uintptr_t>(window), statusRow_->TaskbarState(),
                                statusRow_->Percent());
}

void TVedoForm::CloseWindow() {
  if (!isVisible() || !statusRow_->ShowsDone()) {
    close();
    return;
  }
  if (closing_) return;
  closing_ = true;
  QTimer::singleShot(kDoneShownMs, this, &QWidget::close);
}

void TVedoForm::OpenJournal() {
  const auto path = JournalPath();
  if (journalView_ == nullptr) {
    journalView_ = new JournalView(path ? ToQt(*path) : QString(), this);
    journalView_->setAttribute(Qt::WA_DeleteOnClose);
  } else {
    journalView_->Reload();
  }
  journalView_->show();
  journalView_->raise();
  journalView_->activateWindow();
}

void TVedoForm::EnableCommands(bool send, bool fetch, bool restart) {
  ui->SendButton->setEnabled(send);
  ui->HentButton->setEnabled(fetch);
  ui->RestartButton->setEnabled(restart);
}

void TVedoForm::HideMachineChoice() { ui->MaskinButton->hide(); }

void TVedoForm::StartRefresh() { oppfriskTimer_->start(); }

const QWidget* TVedoForm::StatusPanel() const { return ui->MaskinNavn; }

bool TVedoForm::RefreshStarted() const { return oppfriskTimer_->isActive(); }

void TVedoForm::closeEvent(QCloseEvent* event) {
  session_.Close();
  oppfriskTimer_->stop();
  // The dialogs of a command go with the window; the command goes no further.
  for (QWidget* window : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<QDialog*>(window);
    if (dialog != nullptr && dialog->isVisible()) dialog->reject();
  }
  event->accept();
}

}  // namespace client
