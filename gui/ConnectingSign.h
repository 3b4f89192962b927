// A sign of life while a program-started run waits for a slow server before its window may
// show: a small window on top that names the server, with "Avslutt" to end the run. A server
// that answers in time never makes it appear, so the run's prompts still stand alone.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>

class QLabel;

namespace client {

class ConnectingSign : public QWidget {
  Q_OBJECT

 public:
  // How long a call may wait before the sign shows.
  static constexpr int kDelayMs = 500;

  // `waiting` tells whether a call is under way, `address` names the server ("host:port"), and
  // `quit` ends the run.
  ConnectingSign(std::function<bool()> waiting, std::function<QString()> address,
                 std::function<void()> quit);

  // Watches the calls until Stop.
  void Start();
  void Stop();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Check();

  std::function<bool()> waiting_;
  std::function<QString()> address_;
  std::function<void()> quit_;
  QLabel* text_;
  QTimer poll_;
  QElapsedTimer waitingFor_;  // invalid while no call is under way
};

}  // namespace client
