#include "ScriptedServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace testsupport {
namespace {

ScriptedServer::Script FromTable(std::map<std::string, std::string> table, std::string fallback) {
  return [table = std::move(table), fallback = std::move(fallback)](const std::string& request) {
    const auto found = table.find(request);
    return ScriptedReply::Line(found == table.end() ? fallback : found->second);
  };
}

}  // namespace

ScriptedServer::ScriptedServer(std::map<std::string, std::string> table, std::string fallback)
    : ScriptedServer(FromTable(std::move(table), std::move(fallback))) {}

ScriptedServer::ScriptedServer(Script script, int port) : script_(std::move(script)) {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int reuse = 1;
  ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  socklen_t length = sizeof address;
  int pipeFds[2];
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listener_, 16) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
      ::pipe2(pipeFds, O_CLOEXEC) != 0) {
    throw std::runtime_error("ScriptedServer could not listen");
  }
  wakeRead_ = pipeFds[0];
  wakeWrite_ = pipeFds[1];
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

ScriptedServer::~ScriptedServer() {
  (void)::write(wakeWrite_, "x", 1);
  thread_.join();
  ::close(listener_);
  ::close(wakeRead_);
  ::close(wakeWrite_);
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

void ScriptedServer::Serve() {
  for (;;) {
    pollfd entries[2] = {{listener_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    if (::poll(entries, 2, -1) < 0) continue;
    if (entries[1].revents != 0) return;
    const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    Handle(client);
    ::close(client);
  }
}

void ScriptedServer::Handle(int client) {
  Script script;
  {
    std::lock_guard lock(mutex_);
    script = script_;
  }
  // Waits for the client to leave, or the server to stop.
  auto holdOpen = [&] {
    char sink[256];
    for (;;) {
      pollfd entries[2] = {{client, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
      if (::poll(entries, 2, -1) < 0 || entries[1].revents != 0) return;
      if (::recv(client, sink, sizeof sink, 0) <= 0) return;
    }
  };

  std::string request;
  char c = 0;
  while (::recv(client, &c, 1, 0) == 1) {
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
    if (chunk.delayBefore.count() > 0) {
      pollfd wake{wakeRead_, POLLIN, 0};
      if (::poll(&wake, 1, static_cast<int>(chunk.delayBefore.count())) > 0) return;
    }
    (void)::send(client, chunk.bytes.data(), chunk.bytes.size(), MSG_NOSIGNAL);
  }
  if (reply.holdAfterSend) holdOpen();
}

}  // namespace testsupport
