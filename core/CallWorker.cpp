#include "CallWorker.h"

namespace client {

CallWorker::CallWorker() : thread_([this] { Serve(); }) {}

CallWorker::~CallWorker() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  cancel_.Cancel();
  wake_.notify_all();
  thread_.join();
}

void CallWorker::Start(const ServerLink& link, const std::string& request, Done done,
                       std::exception_ptr* failure) {
  {
    std::lock_guard lock(mutex_);
    job_ = Job{&link, request, std::move(done), failure};
  }
  wake_.notify_all();
}

void CallWorker::Cancel() { cancel_.Cancel(); }

void CallWorker::Serve() {
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || job_.has_value(); });
      if (stopping_) return;
      job = std::move(*job_);
      job_.reset();
    }
    CallResult result{CallOutcome::Cancelled, {}};
    try {
      if (!cancel_.Cancelled()) result = job.link->Exchange(job.request, cancel_);
    } catch (...) {
      *job.failure = std::current_exception();
    }
    job.done(result);
  }
}

}  // namespace client
