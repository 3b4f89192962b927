#include "FileWorker.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace client {

struct FileWorker::Queue {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::function<void()>> jobs;
  bool running = false;  // a job taken off the queue has not finished yet
  bool stopping = false;

  void Serve() {
    std::unique_lock lock(mutex);
    for (;;) {
      changed.wait(lock, [this] { return stopping || !jobs.empty(); });
      if (jobs.empty()) return;  // stopping, and nothing left
      std::function<void()> job = std::move(jobs.front());
      jobs.pop_front();
      running = true;
      lock.unlock();
      job();
      lock.lock();
      running = false;
      changed.notify_all();
    }
  }
};

FileWorker::FileWorker(std::chrono::milliseconds exitWait)
    : exitWait_(exitWait), queue_(std::make_shared<Queue>()) {
  // Detached: a job stuck on a dead share must not keep the program from ending.
  std::thread([queue = queue_] { queue->Serve(); }).detach();
}

FileWorker::~FileWorker() {
  Drain(exitWait_);
  std::lock_guard lock(queue_->mutex);
  queue_->stopping = true;
  queue_->changed.notify_all();
}

void FileWorker::Post(std::function<void()> job) {
  std::lock_guard lock(queue_->mutex);
  queue_->jobs.push_back(std::move(job));
  queue_->changed.notify_all();
}

bool FileWorker::Drain(std::chrono::milliseconds limit) {
  std::unique_lock lock(queue_->mutex);
  return queue_->changed.wait_for(lock, limit,
                                  [this] { return queue_->jobs.empty() && !queue_->running; });
}

}  // namespace client
