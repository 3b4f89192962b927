// A loopback TCP server on a free port for the exchange tests: it records every request line
// and answers each from a script, byte for byte, with delays, early closes or no answer at all.
// One connection is served at a time, as the client makes them.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Connection.h"

namespace testsupport {

struct ScriptedReply {
  struct Chunk {
    std::string bytes;
    std::chrono::milliseconds delayBefore{0};
  };
  std::vector<Chunk> chunks;
  bool neverAnswer = false;    // hold the connection open, send nothing, until the client leaves
  bool closeEarly = false;     // close at once, answering nothing
  bool holdAfterSend = false;  // keep the connection open after the chunks

  static ScriptedReply Line(const std::string& text) { return {{{text + "\r\n", {}}}}; }
  static ScriptedReply Bytes(const std::string& bytes) { return {{{bytes, {}}}}; }
};

class ScriptedServer {
 public:
  using Script = std::function<ScriptedReply(const std::string& request)>;

  // Listens on the port, or on a free one when it is 0.
  explicit ScriptedServer(Script script, int port = 0);
  // Answers from a table of request → reply line; other requests get `fallback`.
  explicit ScriptedServer(std::map<std::string, std::string> table, std::string fallback = "");
  ~ScriptedServer();
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  int Port() const { return listener_.Port(); }
  std::string Address() const { return "127.0.0.1:" + std::to_string(Port()); }
  void SetScript(Script script);
  void SetTable(std::map<std::string, std::string> table, std::string fallback = "");

  std::vector<std::string> Requests() const;
  void ClearRequests();
  // Waits until at least `count` requests have come, or the deadline passes.
  bool WaitForRequests(std::size_t count,
                       std::chrono::milliseconds deadline = std::chrono::seconds(10)) const;

 private:
  void Serve();
  void Handle(platform::TcpConnection& client);
  // Waits for the span; false when the server is stopping.
  bool Pause(std::chrono::milliseconds span);

  platform::CancelSignal stop_;
  platform::TcpListener listener_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool stopping_ = false;
  Script script_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

}  // namespace testsupport
