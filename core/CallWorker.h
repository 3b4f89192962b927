// The one thread on which the window's server calls run, so that the window keeps painting
// and can close at any moment, also while a server keeps it waiting.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include "Connection.h"
#include "ServerLink.h"

namespace client {

class CallWorker {
 public:
  using Done = std::function<void(const CallResult& result)>;

  CallWorker();
  // Cancels the call under way and waits for the thread to end.
  ~CallWorker();
  CallWorker(const CallWorker&) = delete;
  CallWorker& operator=(const CallWorker&) = delete;

  // Hands the call to the worker, with its own copy of the address and bounds; `done` runs on
  // the worker's thread when the call has ended. One call at a time: a call handed over while
  // another waits to be taken throws std::logic_error, and the waiting one stays.
  void Submit(const ServerLink& link, const std::string& request, Done done);
  // Gives up the call under way and every later one: they end as Cancelled.
  void Cancel();
  bool Cancelled() const { return cancel_.Cancelled(); }

 private:
  struct Job {
    ServerLink link;
    std::string request;
    Done done;
  };
  void Serve();

  platform::CancelSignal cancel_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<Job> job_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace client
