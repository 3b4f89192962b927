// Server calls on the worker thread while the window's thread keeps handling its events: it
// paints, moves and closes; what would start another command is refused meanwhile (Busy).
#pragma once

#include <QObject>

#include "CallRunner.h"
#include "CallWorker.h"

namespace client {

class QtCallRunner : public CallRunner {
 public:
  CallResult Run(const ServerLink& link, const std::string& request) override;
  void Cancel() override { worker_.Cancel(); }
  bool Busy() const override { return busy_; }

 private:
  QObject wakeTarget_;  // where the worker posts the end of a call; lives on the window's thread
  CallWorker worker_;
  bool busy_ = false;
};

}  // namespace client
