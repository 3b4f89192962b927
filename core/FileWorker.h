// File work whose path comes from outside, a program's size on a share or the journal's
// appends, runs here, off the window's thread, one job after another in the order given. A job
// that hangs (a share gone dead) holds up only the jobs behind it, never the window; at exit
// the program waits a short while for the jobs given and then leaves the worker behind.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace client {

class FileWorker {
 public:
  // How long the program waits at exit for the jobs given before it leaves them.
  static constexpr std::chrono::milliseconds kExitWait{2000};

  explicit FileWorker(std::chrono::milliseconds exitWait = kExitWait);
  // Waits up to the exit wait for the jobs given, then lets the thread go on alone.
  ~FileWorker();
  FileWorker(const FileWorker&) = delete;
  FileWorker& operator=(const FileWorker&) = delete;

  // The job runs on the worker's thread; it must not touch what the caller may destroy.
  void Post(std::function<void()> job);
  // Waits until every job given so far has run, or the limit has passed; whether they ran.
  bool Drain(std::chrono::milliseconds limit);

 private:
  struct Queue;
  std::chrono::milliseconds exitWait_;
  std::shared_ptr<Queue> queue_;  // shared with the thread, which may outlive this object
};

}  // namespace client
