// TCP on POSIX sockets. Every wait is one poll over the socket and the cancel signal's eventfd,
// bounded by the deadline.
#include "Connection.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <stdexcept>

#include "CancelNative.h"

namespace platform {

struct TcpConnection::Native {
  explicit Native(int descriptor) : fd(descriptor) {}
  ~Native() {
    if (fd >= 0) {
      ::shutdown(fd, SHUT_RDWR);
      ::close(fd);
    }
  }
  int fd;
};

struct TcpListener::Native {
  ~Native() {
    if (fd >= 0) ::close(fd);
  }
  int fd = -1;
};

namespace {

sockaddr_in SocketAddress(const Ipv4Address& address, std::uint16_t port) {
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(port);
  std::copy(address.begin(), address.end(), reinterpret_cast<std::uint8_t*>(&target.sin_addr));
  return target;
}

bool SameEndpoint(const sockaddr_in& a, const sockaddr_in& b) {
  return a.sin_port == b.sin_port && a.sin_addr.s_addr == b.sin_addr.s_addr;
}

std::string EndpointText(const sockaddr_in& endpoint) {
  char text[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &endpoint.sin_addr, text, sizeof text);
  return std::string(text) + ":" + std::to_string(ntohs(endpoint.sin_port));
}

}  // namespace

WaitEnd WaitForEvents(int fd, short events, Deadline deadline, const CancelSignal& cancel,
                      short* shown) {
  for (;;) {
    if (cancel.Cancelled()) return WaitEnd::Cancelled;
    pollfd entries[2] = {{fd, events, 0}, {cancel.native().fd, POLLIN, 0}};
    const int ready = ::poll(entries, 2, PollTimeout(deadline));
    if (ready < 0) {
      if (errno == EINTR) continue;
      return WaitEnd::Failed;
    }
    if (entries[1].revents != 0) return WaitEnd::Cancelled;
    if (entries[0].revents != 0) {
      if (shown != nullptr) *shown = entries[0].revents;
      return WaitEnd::Ready;
    }
    if (ready == 0 && std::chrono::steady_clock::now() >= deadline) return WaitEnd::TimedOut;
  }
}

std::optional<Ipv4Address> ParseIpv4(const std::string& text) {
  in_addr parsed{};
  if (::inet_aton(text.c_str(), &parsed) == 0) return std::nullopt;
  Ipv4Address address{};
  std::copy_n(reinterpret_cast<const std::uint8_t*>(&parsed), address.size(), address.begin());
  return address;
}

std::optional<std::uint16_t> LookUpService(const std::string& name) {
  if (const servent* service = ::getservbyname(name.c_str(), nullptr)) {
    return ntohs(static_cast<std::uint16_t>(service->s_port));
  }
  return std::nullopt;
}

TcpConnection::TcpConnection()
    : native_(std::make_unique<Native>(
          ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0))) {}

TcpConnection::TcpConnection(std::unique_ptr<Native> native) : native_(std::move(native)) {}

TcpConnection::~TcpConnection() = default;

WaitEnd TcpConnection::Connect(const Ipv4Address& address, std::uint16_t port, Deadline deadline,
                               const CancelSignal& cancel) {
  const int fd = native_->fd;
  if (fd < 0) return WaitEnd::Failed;
  if (cancel.Cancelled()) return WaitEnd::Cancelled;
  const sockaddr_in target = SocketAddress(address, port);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0) {
    if (errno != EINPROGRESS && errno != EINTR) return WaitEnd::Failed;
    short shown = 0;
    const WaitEnd end = WaitForEvents(fd, POLLOUT, deadline, cancel, &shown);
    if (end != WaitEnd::Ready) return end;
    // A connection refused or lost on the way shows as an error or a hang-up beside POLLOUT.
    if ((shown & (POLLERR | POLLHUP)) != 0) return WaitEnd::Failed;
  }
  // Connected to itself: the kernel chose the target's own port as the local one.
  sockaddr_in local{};
  socklen_t localLength = sizeof local;
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localLength) != 0 ||
      SameEndpoint(local, target)) {
    return WaitEnd::Failed;
  }
  return WaitEnd::Ready;
}

WaitEnd TcpConnection::Send(std::string_view bytes, Deadline deadline, const CancelSignal& cancel) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    if (cancel.Cancelled()) return WaitEnd::Cancelled;
    const ssize_t done =
        ::send(native_->fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (done > 0) {
      sent += static_cast<std::size_t>(done);
      continue;
    }
    if (done < 0 && errno == EINTR) continue;
    if (done < 0 && errno == EAGAIN) {
      const WaitEnd end = WaitForEvents(native_->fd, POLLOUT, deadline, cancel);
      if (end != WaitEnd::Ready) return end;
      continue;
    }
    return WaitEnd::Failed;
  }
  return WaitEnd::Ready;
}

WaitEnd TcpConnection::Peek(char* buffer, std::size_t size, std::size_t& seen, Deadline deadline,
                            const CancelSignal& cancel) {
  for (;;) {
    const WaitEnd end = WaitForEvents(native_->fd, POLLIN, deadline, cancel);
    if (end != WaitEnd::Ready) return end;
    const ssize_t looked = ::recv(native_->fd, buffer, size, MSG_PEEK);
    if (looked < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (looked < 0) return WaitEnd::Failed;
    seen = static_cast<std::size_t>(looked);
    return WaitEnd::Ready;
  }
}

bool TcpConnection::Consume(std::size_t count) {
  char discard[512];
  while (count > 0) {
    const ssize_t taken = ::recv(native_->fd, discard, std::min(count, sizeof discard), 0);
    if (taken < 0 && errno == EINTR) continue;
    if (taken <= 0) return false;
    count -= static_cast<std::size_t>(taken);
  }
  return true;
}

WaitEnd TcpConnection::Receive(char* buffer, std::size_t size, std::size_t& got, Deadline deadline,
                               const CancelSignal& cancel) {
  for (;;) {
    const WaitEnd end = WaitForEvents(native_->fd, POLLIN, deadline, cancel);
    if (end != WaitEnd::Ready) return end;
    const ssize_t taken = ::recv(native_->fd, buffer, size, 0);
    if (taken < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (taken < 0) return WaitEnd::Failed;
    got = static_cast<std::size_t>(taken);
    return WaitEnd::Ready;
  }
}

void TcpConnection::ShutdownSending() { ::shutdown(native_->fd, SHUT_WR); }

std::string TcpConnection::PeerText() const {
  sockaddr_in peer{};
  socklen_t length = sizeof peer;
  if (::getpeername(native_->fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0) return {};
  return EndpointText(peer);
}

TcpListener::TcpListener(const std::string& host, std::uint16_t port, int backlog)
    : native_(std::make_unique<Native>()) {
  const auto address = ParseIpv4(host);
  const std::string where = host + ":" + std::to_string(port);
  if (!address) throw std::runtime_error("not an IPv4 address: " + host);
  native_->fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  const int reuse = 1;
  sockaddr_in local = SocketAddress(*address, port);
  socklen_t length = sizeof local;
  if (native_->fd < 0 ||
      ::setsockopt(native_->fd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse) != 0 ||
      ::bind(native_->fd, reinterpret_cast<sockaddr*>(&local), length) != 0 ||
      ::listen(native_->fd, backlog) != 0 ||
      ::getsockname(native_->fd, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
    throw std::runtime_error("cannot listen on " + where);
  }
  port_ = ntohs(local.sin_port);
}

TcpListener::~TcpListener() = default;

std::unique_ptr<TcpConnection> TcpListener::Accept(Deadline deadline, const CancelSignal& cancel,
                                                   WaitEnd& end) {
  for (;;) {
    end = WaitForEvents(native_->fd, POLLIN, deadline, cancel);
    if (end != WaitEnd::Ready) return nullptr;
    const int client = ::accept4(native_->fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (client >= 0) {
      return std::make_unique<TcpConnection>(std::make_unique<TcpConnection::Native>(client));
    }
    // Another thread took it, or the client left before it was taken: wait for the next.
    if (errno == EAGAIN || errno == EINTR || errno == ECONNABORTED) continue;
    end = WaitEnd::Failed;
    return nullptr;
  }
}

}  // namespace platform
