// The TCP side of the simulator: one request line per connection, each connection served on
// a thread of its own, every exchange logged. A connection that sends nothing, or sends slowly,
// holds only its own thread, and only until its request deadline.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "Connection.h"

namespace dncsim {

class Server {
 public:
  using Answer = std::function<std::string(const std::string& request)>;

  // Listens on host:port (port 0: a free one); throws std::runtime_error when it cannot.
  Server(const std::string& host, int port, Answer answer, std::ostream& log);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  int Port() const { return listener_.Port(); }
  // Serves until Stop() is called (also from a signal handler); connections still open are
  // then given up, and Run returns once their threads have ended.
  void Run();
  // Async-signal-safe.
  void Stop();

 private:
  struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> finished;
  };

  void Serve(platform::TcpConnection& connection);
  void ReapFinished();

  platform::TcpListener listener_;
  platform::CancelSignal stop_;
  Answer answer_;
  std::ostream& log_;
  std::mutex logMutex_;
  std::vector<Worker> workers_;  // touched only by Run's thread
};

}  // namespace dncsim
