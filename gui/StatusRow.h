// The row below "Resultat": what a send or fetch would act on while nothing moves, the refusal
// of the last command until the next one, the transfer under way (a short bar and its text),
// and its end.
#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QString>
#include <optional>

#include "StatusRecord.h"
#include "Taskbar.h"
#include "TransferProgress.h"

class QLabel;
class QProgressBar;

namespace client {

class StatusRow {
 public:
  StatusRow(QProgressBar& bar, QLabel& label);

  // "Valgt program: BIG.NC → maskin 2".
  void ShowTarget(const QString& program, const QString& machine);
  // "OK" clears a refusal and a transfer's end; anything else is shown as refused at `at`.
  void ShowReply(const QString& reply, const QTime& at);
  void ShowStatus(const StatusRecord& status) { lastStatus_ = status; }
  // Returns true when this ended a transfer with its done flag.
  bool ShowProgress(const std::optional<ProgressView>& progress, const QTime& now);

  const QString& TargetText() const { return target_; }
  // The transfer's end is on show.
  bool ShowsDone() const { return !moving_ && !refusal_ && done_.has_value(); }
  platform::TaskbarState TaskbarState() const;
  int Percent() const;

 private:
  void Render();

  QProgressBar& bar_;
  QLabel& label_;
  QString target_;
  std::optional<QString> refusal_;
  std::optional<ProgressView> moving_;
  std::optional<QString> done_;
  StatusRecord lastStatus_;
  QElapsedTimer since_;  // from the transfer's first sight
};

// The transfer's text in Bokmål: "21 % – 54 146 av 250 008 bytes – 9,6 kB/s – 0:21 igjen".
QString ProgressLine(const ProgressView& view);

}  // namespace client
