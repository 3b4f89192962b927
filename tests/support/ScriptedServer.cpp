#include "ScriptedServer.h"

#include <stdexcept>

namespace testsupport {
namespace {

using platform::kNoDeadline;
using platform::WaitEnd;

ScriptedServer::Script FromTable(std::map<std::string, std::string> table, std::string fallback) {
  return [table = std::move(table), fallback = std::move(fallback)](const std::string& request) {
    const auto found = table.find(request);
    return ScriptedReply::Line(found == table.end() ? fallback : found->second);
  };
}

}  // namespace

ScriptedServer::ScriptedServer(std::map<std::string, std::string> table, std::string fallback)
    : ScriptedServer(FromTable(std::move(table), std::move(fallback))) {}

ScriptedServer::ScriptedServer(Script script, int port)
    : listener_("127.0.0.1", static_cast<std::uint16_t>(port), 16), script_(std::move(script)) {
  thread_ = std::thread([this] { Serve(); });
}

ScriptedServer::~ScriptedServer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  stop_.Cancel();
  thread_.join();
}

void ScriptedServer::SetScript(Script script) {
  std::lock_guard lock(mutex_);
  script_ = std::move(script);
}

void ScriptedServer::SetTable(std::map<std::string, std::string> table, std::string fallback) {
  SetScript(FromTable(std::move(table), std::move(fallback)));
}

std::vector<std::string> ScriptedServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void ScriptedServer::ClearRequests() {
  std::lock_guard lock(mutex_);
  requests_.clear();
}

bool ScriptedServer::WaitForRequests(std::size_t count, std::chrono::milliseconds deadline) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, deadline, [&] { return requests_.size() >= count; });
}

bool ScriptedServer::Pause(std::chrono::milliseconds span) {
  std::unique_lock lock(mutex_);
  return !changed_.wait_for(lock, span, [&] { return stopping_; });
}

void ScriptedServer::Serve() {
  for (;;) {
    WaitEnd end{};
    const auto client = listener_.Accept(kNoDeadline, stop_, end);
    if (end == WaitEnd::Cancelled) return;
    if (client) Handle(*client);
  }
}

void ScriptedServer::Handle(platform::TcpConnection& client) {
  Script script;
  {
    std::lock_guard lock(mutex_);
    script = script_;
  }
  // Waits for the client to leave, or the server to stop.
  auto holdOpen = [&] {
    char sink[256];
    std::size_t got = 0;
    while (client.Receive(sink, sizeof sink, got, kNoDeadline, stop_) == WaitEnd::Ready &&
           got > 0) {
    }
  };

  std::string request;
  char c = 0;
  std::size_t got = 0;
  while (client.Receive(&c, 1, got, kNoDeadline, stop_) == WaitEnd::Ready && got == 1) {
    request += c;
    if (request.size() >= 2 && request.compare(request.size() - 2, 2, "\r\n") == 0) break;
  }
  const bool complete = request.size() >= 2 && request.compare(request.size() - 2, 2, "\r\n") == 0;
  if (complete) request.resize(request.size() - 2);
  const ScriptedReply reply = script(request);
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
  }
  changed_.notify_all();
  if (reply.closeEarly) return;
  if (reply.neverAnswer) return holdOpen();
  for (const auto& chunk : reply.chunks) {
    if (chunk.delayBefore.count() > 0 && !Pause(chunk.delayBefore)) return;
    // A client that left early refuses the rest; that is one of the cases under test.
    if (client.Send(chunk.bytes, kNoDeadline, stop_) != WaitEnd::Ready) return;
  }
  if (reply.holdAfterSend) holdOpen();
}

}  // namespace testsupport
