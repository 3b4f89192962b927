#include "HostileServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace testsupport {

using Clock = std::chrono::steady_clock;

namespace {

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  return address;
}

}  // namespace

HostileServer::HostileServer(Behaviour behaviour, int backlog, bool accepts)
    : behaviour_(std::move(behaviour)) {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = Loopback(0);
  socklen_t length = sizeof address;
  int fds[2];
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listener_, backlog) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
      ::pipe2(fds, O_CLOEXEC) != 0) {
    throw std::runtime_error("HostileServer could not listen");
  }
  port_ = ntohs(address.sin_port);
  stopRead_ = fds[0];
  stopWrite_ = fds[1];
  if (accepts) acceptor_ = std::thread([this] { AcceptAll(); });
}

HostileServer::~HostileServer() {
  (void)::write(stopWrite_, "x", 1);
  if (acceptor_.joinable()) acceptor_.join();
  for (auto& connection : connections_) connection.join();
  ::close(listener_);
  ::close(stopRead_);
  ::close(stopWrite_);
}

void HostileServer::AcceptAll() {
  for (;;) {
    pollfd entries[2] = {{listener_, POLLIN, 0}, {stopRead_, POLLIN, 0}};
    if (::poll(entries, 2, -1) < 0) continue;
    if (entries[1].revents != 0) return;
    const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    ++accepted_;
    connections_.emplace_back([this, client] {
      behaviour_(client, stopRead_);
      ::close(client);
    });
  }
}

bool HoldOpen(int client, int stopping, std::chrono::milliseconds limit) {
  char sink[512];
  const auto deadline = Clock::now() + limit;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    pollfd entries[2] = {{client, POLLIN, 0}, {stopping, POLLIN, 0}};
    if (::poll(entries, 2, static_cast<int>(left.count())) <= 0) return false;
    if (entries[1].revents != 0) return true;
    if (::recv(client, sink, sizeof sink, 0) <= 0) return false;
  }
}

bool Pause(int stopping, std::chrono::milliseconds pause) {
  pollfd entry{stopping, POLLIN, 0};
  return ::poll(&entry, 1, static_cast<int>(pause.count())) == 0;
}

std::string ReadRequest(int client) {
  std::string request;
  char c = 0;
  while (request.size() < 4096 && ::recv(client, &c, 1, 0) == 1) {
    request += c;
    if (request.size() >= 2 && request.compare(request.size() - 2, 2, "\r\n") == 0) {
      request.resize(request.size() - 2);
      break;
    }
  }
  return request;
}

bool SendAll(int client, const std::string& bytes) {
  return ::send(client, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
         static_cast<ssize_t>(bytes.size());
}

void NoDelay(int client) {
  const int on = 1;
  ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

void Reset(int client) {
  const linger abort{1, 0};
  ::setsockopt(client, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
}

Behaviour Answer(std::vector<std::string> pieces, std::chrono::milliseconds gap) {
  return [pieces = std::move(pieces), gap](int client, int stopping) {
    NoDelay(client);
    ReadRequest(client);
    for (const auto& piece : pieces) {
      if (gap.count() > 0 && !Pause(stopping, gap)) return;
      if (!SendAll(client, piece)) return;
    }
  };
}

std::vector<std::string> EveryByte(const std::string& bytes) {
  std::vector<std::string> pieces;
  for (const char c : bytes) pieces.emplace_back(1, c);
  return pieces;
}

RefusingPort::RefusingPort() : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
  sockaddr_in address = Loopback(0);
  socklen_t length = sizeof address;
  if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("cannot bind a loopback port");
  }
  port_ = ntohs(address.sin_port);
}

RefusingPort::~RefusingPort() { ::close(fd_); }

FilledQueue::FilledQueue(int port, int connections) {
  const sockaddr_in address = Loopback(port);
  for (int i = 0; i < connections; ++i) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    // Connections that complete are queued; the first that does not is dropped.
    ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    fds_.push_back(fd);
  }
}

FilledQueue::~FilledQueue() {
  for (const int fd : fds_) ::close(fd);
}

}  // namespace testsupport
