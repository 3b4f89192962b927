#include "QtCallRunner.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <atomic>

namespace client {

struct QtCallRunner::Pending {
  std::atomic<bool> done{false};
  CallResult result;
};

CallResult QtCallRunner::Run(const ServerLink& link, const std::string& request) {
  if (worker_.Cancelled()) return {CallOutcome::Cancelled, {}};
  if (!ahead_.empty()) {
    const AheadCall next = ahead_.front();
    if (next.request == request && link.Host() == aheadLink_.Host() &&
        link.Port() == aheadLink_.Port()) {
      ahead_.pop_front();
      return Await(next.pending);
    }
    // Another call than the ones read ahead: the worker is free once they have ended.
    const auto last = ahead_.back().pending;
    ahead_.clear();
    Await(last);
    if (worker_.Cancelled()) return {CallOutcome::Cancelled, {}};
  }
  auto pending = std::make_shared<Pending>();
  SubmitInTurn(link, {{request, pending}});
  return Await(pending);
}

void QtCallRunner::ReadAhead(const ServerLink& link, const std::vector<std::string>& requests) {
  if (!ahead_.empty() || requests.empty()) return;
  for (const std::string& request : requests) {
    ahead_.push_back({request, std::make_shared<Pending>()});
  }
  aheadLink_ = link;
  SubmitInTurn(link, {ahead_.begin(), ahead_.end()});
}

void QtCallRunner::SubmitInTurn(const ServerLink& link, std::vector<AheadCall> calls) {
  const AheadCall call = calls.front();
  calls.erase(calls.begin());
  worker_.Submit(link, call.request, [this, link, call, calls](const CallResult& result) {
    call.pending->result = result;
    call.pending->done = true;
    // Wakes the wait in Await; posted, so it is safe from the worker's thread.
    QMetaObject::invokeMethod(
        &wakeTarget_, [] {}, Qt::QueuedConnection);
    // Handed over from the worker's own thread, which has let go of the call that ended.
    if (!calls.empty()) SubmitInTurn(link, calls);
  });
}

CallResult QtCallRunner::Await(const std::shared_ptr<Pending>& pending) {
  busy_ = true;
  // Not a QEventLoop::exec: a quitting application ends every running loop at once, while
  // this wait must last until the worker has let go of the link.
  while (!pending->done) {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  busy_ = false;
  return pending->result;
}

}  // namespace client
