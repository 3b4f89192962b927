#include "QtCallRunner.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <atomic>
#include <memory>

namespace client {

CallResult QtCallRunner::Run(const ServerLink& link, const std::string& request) {
  if (worker_.Cancelled()) return {CallOutcome::Cancelled, {}};
  struct Pending {
    std::atomic<bool> done{false};
    CallResult result;
  };
  auto pending = std::make_shared<Pending>();
  worker_.Submit(link, request, [this, pending](const CallResult& result) {
    pending->result = result;
    pending->done = true;
    // Wakes the wait below; posted, so it is safe from the worker's thread.
    QMetaObject::invokeMethod(
        &wakeTarget_, [] {}, Qt::QueuedConnection);
  });
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
