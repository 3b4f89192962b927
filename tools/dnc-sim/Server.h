// The TCP side of the simulator: one request line per connection, each connection served on
// a thread of its own, every exchange logged.
#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace dncsim {

class Server {
 public:
  using Answer = std::function<std::string(const std::string& request)>;

  // Listens on host:port (port 0: a free one); throws std::runtime_error when it cannot.
  Server(const std::string& host, int port, Answer answer, std::ostream& log);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  int Port() const { return port_; }
  // Serves until Stop() is called (also from a signal handler), then waits for the open
  // connections to finish.
  void Run();
  // Async-signal-safe.
  void Stop();

 private:
  void Serve(int client, const std::string& peer);

  int listener_ = -1;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  int port_ = 0;
  Answer answer_;
  std::ostream& log_;
};

}  // namespace dncsim
