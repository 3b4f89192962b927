// A loopback server for the hostile-server tests: on a free port, it treats every connection
// with a behaviour of the test's, each on a thread of its own, and closes everything when it
// stops. With the pieces that such behaviours are made of.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <list>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// What the server does with one accepted connection. `stopping` is readable once the server
// stops, so that a connection held open can end.
using Behaviour = std::function<void(int client, int stopping)>;

class HostileServer {
 public:
  // With `accepts` false nobody accepts: the queue of `backlog` fills and further attempts are
  // dropped.
  explicit HostileServer(Behaviour behaviour, int backlog = 64, bool accepts = true);
  ~HostileServer();
  HostileServer(const HostileServer&) = delete;
  HostileServer& operator=(const HostileServer&) = delete;

  int Port() const { return port_; }
  int Accepted() const { return accepted_; }

 private:
  void AcceptAll();

  Behaviour behaviour_;
  int listener_ = -1;
  int stopRead_ = -1;
  int stopWrite_ = -1;
  int port_ = 0;
  std::atomic<int> accepted_{0};
  std::thread acceptor_;
  std::list<std::thread> connections_;
};

// A loopback port that is bound and never listened on: connections to it are refused, and no
// other program takes it meanwhile.
class RefusingPort {
 public:
  RefusingPort();
  ~RefusingPort();
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;

  int Port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

// Connections to a loopback port that nobody accepts, enough to fill its listener's queue, so
// that the kernel drops the attempts that come after them. Closed on destruction.
class FilledQueue {
 public:
  explicit FilledQueue(int port, int connections = 16);
  ~FilledQueue();
  FilledQueue(const FilledQueue&) = delete;
  FilledQueue& operator=(const FilledQueue&) = delete;

 private:
  std::vector<int> fds_;
};

// Waits until the server stops or the client leaves; true when the server stops.
bool HoldOpen(int client, int stopping, std::chrono::milliseconds limit = std::chrono::seconds(60));
// Waits for a pause unless the server stops first; false when it stops.
bool Pause(int stopping, std::chrono::milliseconds pause);
// Reads the request line up to its CR LF (or the client's end); returns it without the CR LF.
std::string ReadRequest(int client);
bool SendAll(int client, const std::string& bytes);
void NoDelay(int client);
// Makes the close a reset instead of an orderly end.
void Reset(int client);
// Reads the request, then sends the pieces with the gap before each.
Behaviour Answer(std::vector<std::string> pieces,
                 std::chrono::milliseconds gap = std::chrono::milliseconds(0));
// The bytes one by one.
std::vector<std::string> EveryByte(const std::string& bytes);

}  // namespace testsupport
