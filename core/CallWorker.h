// The one thread on which the window's server calls run, so that the window keeps painting
// and can close at any moment, also while a server keeps it waiting.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
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

  // Starts the call; `done` runs on the worker's thread when it has ended. One call at a time:
  // the link must stay alive and unchanged until then. An InvalidPort failure comes back as
  // the exception in `failure`.
  void Start(const ServerLink& link, const std::string& request, Done done,
             std::exception_ptr* failure);
  // Gives up the call under way and every later one: they end as Cancelled.
  void Cancel();
  bool Cancelled() const { return cancel_.Cancelled(); }

 private:
  struct Job {
    const ServerLink* link;
    std::string request;
    Done done;
    std::exception_ptr* failure;
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
