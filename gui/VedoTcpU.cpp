#include "VedoTcpU.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTimer>

#include "Guard.h"
#include "Prompts.h"
#include "QtText.h"
#include "ui_VedoTcpU.h"

namespace client {
namespace {

constexpr int kRefreshInterval = 1000;  // ms

// A group-box title would take "&" as a keyboard mnemonic.
QString LiteralTitle(const std::string& text) { return ToQt(text).replace('&', "&&"); }

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
  ui->MaskinButton->setIcon(style()->standardIcon(QStyle::SP_ComputerIcon));
  ui->Rediger->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
  ui->AvsluttButton->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
  oppfriskTimer_->setInterval(kRefreshInterval);
  ui->FremdriftBar->hide();  // until a transfer is under way

  // A tick that falls while a call is under way is skipped, never queued.
  ConnectGuarded(oppfriskTimer_, &QTimer::timeout, &TVedoForm::TimerTick);
  ConnectGuarded(ui->FilnavnButton, &QPushButton::clicked, &TVedoForm::FilnavnButtonClick);
  ConnectGuarded(ui->SendButton, &QPushButton::clicked, &TVedoForm::SendButtonClick);
  ConnectGuarded(ui->HentButton, &QPushButton::clicked, &TVedoForm::HentButtonClick);
  ConnectGuarded(ui->RestartButton, &QPushButton::clicked, &TVedoForm::RestartButtonClick);
  ConnectGuarded(ui->MaskinButton, &QPushButton::clicked, &TVedoForm::MaskinButtonClick);
  ConnectGuarded(ui->Rediger, &QPushButton::clicked, &TVedoForm::RedigerClick);
  ConnectGuarded(ui->AvsluttButton, &QPushButton::clicked, &TVedoForm::AvsluttButtonClick, true);
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
    show();
    QTimer::singleShot(0, this, [this] { RunGuarded(prompts_, [this] { FormShow(); }); });
    return;
  }
  RunGuarded(prompts_, [this] { FormShow(); });
  if (!IsClosed()) show();
}

void TVedoForm::ShowStatus(const StatusRecord& status) {
  ui->MaskinNavn->setTitle(LiteralTitle(status.machineName));
  ui->Filnavn->setText(ToQt(status.programFile));
  ui->Status->setText(ToQt(status.status));
  ui->Melding->setText(ToQt(status.message));
  ui->Bytes->setText(ToQt(status.bytes));
  ui->Resultat->setText(ToQt(status.result));
}

void TVedoForm::ShowProgress(const std::optional<ProgressView>& progress) {
  ui->FremdriftBar->setVisible(progress.has_value());
  if (!progress) return;
  // Without the program's size the bar stays empty and shows the rate alone.
  ui->FremdriftBar->setValue(
      progress->share ? static_cast<int>(*progress->share * ui->FremdriftBar->maximum()) : 0);
  ui->FremdriftBar->setFormat(ToQt(ProgressText(*progress)));
}

void TVedoForm::EnableCommands(bool send, bool fetch, bool restart) {
  ui->SendButton->setEnabled(send);
  ui->HentButton->setEnabled(fetch);
  ui->RestartButton->setEnabled(restart);
}

void TVedoForm::HideMachineChoice() { ui->MaskinButton->hide(); }

void TVedoForm::StartRefresh() { oppfriskTimer_->start(); }

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
