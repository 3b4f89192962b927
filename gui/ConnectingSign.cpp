#include "ConnectingSign.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "ButtonGlyphs.h"

namespace client {
namespace {

constexpr int kPollMs = 100;

}  // namespace

ConnectingSign::ConnectingSign(std::function<bool()> waiting, std::function<QString()> address,
                               std::function<void()> quit)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint),
      waiting_(std::move(waiting)),
      address_(std::move(address)),
      quit_(std::move(quit)),
      text_(new QLabel) {
  setObjectName("ConnectingSign");
  setWindowTitle(QApplication::applicationName());
  text_->setTextFormat(Qt::PlainText);
  text_->setAccessibleName("Kobler til");
  auto* quitButton = new QPushButton(glyphs::Cancel(), "Avslutt");
  quitButton->setObjectName("ConnectingSignQuit");
  quitButton->setAutoDefault(true);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(text_, 1);
  layout->addWidget(quitButton);
  connect(quitButton, &QPushButton::clicked, this, [this] { quit_(); });
  poll_.setInterval(kPollMs);
  connect(&poll_, &QTimer::timeout, this, &ConnectingSign::Check);
}

void ConnectingSign::Start() { poll_.start(); }

void ConnectingSign::Stop() {
  poll_.stop();
  hide();
}

void ConnectingSign::Check() {
  if (!waiting_()) {
    // Between calls, and while a prompt waits for the operator, the sign stays away.
    waitingFor_.invalidate();
    hide();
    return;
  }
  if (!waitingFor_.isValid()) waitingFor_.start();
  if (isVisible() || waitingFor_.elapsed() < kDelayMs) return;
  text_->setText(QString::fromUtf8("Kobler til Orvi-Vedo-server (%1) …").arg(address_()));
  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  show();
}

void ConnectingSign::closeEvent(QCloseEvent* event) {
  // Closing the sign ends the run, as its button does.
  event->accept();
  if (poll_.isActive()) quit_();
}

}  // namespace client
