// Server calls on the worker thread while the window's thread keeps handling its events: it
// paints, moves and closes; what would start another command is refused meanwhile (Busy).
#pragma once

#include <QObject>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "CallRunner.h"
#include "CallWorker.h"

namespace client {

class QtCallRunner : public CallRunner {
 public:
  CallResult Run(const ServerLink& link, const std::string& request) override;
  void Cancel() override { worker_.Cancel(); }
  bool Busy() const override { return busy_; }

  // Starts these calls now, one after the other, for a caller that makes exactly them next:
  // each Run for the next of them takes its result instead of calling again, so that the calls
  // go on while the caller does other work. A Run for anything else drops what is left of them
  // once they have ended. Only for requests that change nothing on the server, before any other
  // call; while calls read ahead are left, another ReadAhead does nothing.
  void ReadAhead(const ServerLink& link, const std::vector<std::string>& requests);

 private:
  struct Pending;
  struct AheadCall {
    std::string request;
    std::shared_ptr<Pending> pending;
  };

  // Hands the calls to the worker, the next one as soon as the one before has ended.
  void SubmitInTurn(const ServerLink& link, std::vector<AheadCall> calls);
  // Keeps the window's events going until the call has ended, and returns how.
  CallResult Await(const std::shared_ptr<Pending>& pending);

  QObject wakeTarget_;  // where the worker posts the end of a call; lives on the window's thread
  std::deque<AheadCall> ahead_;
  ServerLink aheadLink_;
  CallWorker worker_;
  bool busy_ = false;
};

}  // namespace client
