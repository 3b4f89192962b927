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

void CallWorker::Submit(const ServerLink& link, const std::string& request, Done done) {
  {
    std::lock_guard lock(mutex_);
    if (job_) throw std::logic_error("a call was handed over while another waited: " + request);
    job_ = Job{link, request, std::move(done)};
  }
  wake_.notify_one();
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
    if (!cancel_.Cancelled()) result = job.link.Exchange(job.request, cancel_);
    job.done(result);
  }
}

}  // namespace client
