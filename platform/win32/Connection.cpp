// TCP on Winsock 2. Each socket has an event object selected for all its network events for its
// whole life, so no event that comes between an attempt and the wait after it is lost; every
// wait is one WSAWaitForMultipleEvents over that event and the cancel signal's, bounded by the
// deadline.
#include "Connection.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <stdexcept>

#include "CancelNative.h"
#include "Ipv4Text.h"

namespace platform {

namespace {

constexpr long kAllEvents = FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE | FD_ACCEPT;

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
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&endpoint.sin_addr);
  return std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." +
         std::to_string(bytes[2]) + "." + std::to_string(bytes[3]) + ":" +
         std::to_string(ntohs(endpoint.sin_port));
}

bool WouldBlock() { return ::WSAGetLastError() == WSAEWOULDBLOCK; }

// A socket with its event object; the event is selected before the socket is used.
struct EventSocket {
  explicit EventSocket(SOCKET handle) : socket(handle), event(::WSACreateEvent()) {
    if (socket != INVALID_SOCKET && event != WSA_INVALID_EVENT &&
        ::WSAEventSelect(socket, event, kAllEvents) != 0) {
      ::closesocket(socket);
      socket = INVALID_SOCKET;
    }
  }
  ~EventSocket() {
    if (socket != INVALID_SOCKET) ::closesocket(socket);
    if (event != WSA_INVALID_EVENT) ::WSACloseEvent(event);
  }
  EventSocket(const EventSocket&) = delete;
  EventSocket& operator=(const EventSocket&) = delete;

  bool usable() const { return socket != INVALID_SOCKET && event != WSA_INVALID_EVENT; }

  SOCKET socket;
  WSAEVENT event;
};

// Wine at times loses a listener's FD_ACCEPT: a connection waits in the backlog and the event
// never comes (here about once in a thousand accepts). A wait for an operation that can simply
// be tried again (accept, recv, send) so looks again after this long at the latest.
constexpr DWORD kRetryAfterMs = 100;

// Waits for any network event of the socket; `seen` gathers the events and their errors. With
// `retry`, a wait that lasts kRetryAfterMs ends as Ready, so that the caller tries again.
WaitEnd WaitForEvents(const EventSocket& endpoint, Deadline deadline, const CancelSignal& cancel,
                      WSANETWORKEVENTS& seen, bool retry) {
  for (;;) {
    if (cancel.Cancelled()) return WaitEnd::Cancelled;
    const HANDLE events[2] = {endpoint.event, cancel.native().event};
    const DWORD bound =
        retry ? std::min(WaitMilliseconds(deadline), kRetryAfterMs) : WaitMilliseconds(deadline);
    const DWORD result = ::WSAWaitForMultipleEvents(2, events, FALSE, bound, FALSE);
    if (result == WSA_WAIT_EVENT_0 + 1) return WaitEnd::Cancelled;
    if (result == WSA_WAIT_EVENT_0) {
      WSANETWORKEVENTS happened{};
      if (::WSAEnumNetworkEvents(endpoint.socket, endpoint.event, &happened) != 0) {
        return WaitEnd::Failed;
      }
      seen.lNetworkEvents |= happened.lNetworkEvents;
      for (int bit = 0; bit < FD_MAX_EVENTS; ++bit) {
        if (happened.lNetworkEvents & (1L << bit)) seen.iErrorCode[bit] = happened.iErrorCode[bit];
      }
      return WaitEnd::Ready;
    }
    if (result == WSA_WAIT_TIMEOUT) {
      if (std::chrono::steady_clock::now() >= deadline) return WaitEnd::TimedOut;
      if (retry) return WaitEnd::Ready;
      continue;  // woken early by the millisecond rounding
    }
    return WaitEnd::Failed;
  }
}

// For an operation that the caller tries again after the wait.
WaitEnd WaitToRetry(const EventSocket& endpoint, Deadline deadline, const CancelSignal& cancel) {
  WSANETWORKEVENTS seen{};
  return WaitForEvents(endpoint, deadline, cancel, seen, true);
}

}  // namespace

struct TcpConnection::Native : EventSocket {
  explicit Native(SOCKET handle) : EventSocket(handle) {}
  ~Native() {
    if (socket != INVALID_SOCKET) ::shutdown(socket, SD_BOTH);
  }
};

struct TcpListener::Native : EventSocket {
  Native() : EventSocket(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {}
};

std::optional<Ipv4Address> ParseIpv4(const std::string& text) { return win32::ReadIpv4Text(text); }

std::optional<std::uint16_t> LookUpService(const std::string& name) {
  if (const servent* service = ::getservbyname(name.c_str(), nullptr)) {
    return ntohs(static_cast<std::uint16_t>(service->s_port));
  }
  return std::nullopt;
}

TcpConnection::TcpConnection()
    : native_(std::make_unique<Native>(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP))) {}

TcpConnection::TcpConnection(std::unique_ptr<Native> native) : native_(std::move(native)) {}

TcpConnection::~TcpConnection() = default;

WaitEnd TcpConnection::Connect(const Ipv4Address& address, std::uint16_t port, Deadline deadline,
                               const CancelSignal& cancel) {
  if (!native_->usable()) return WaitEnd::Failed;
  if (cancel.Cancelled()) return WaitEnd::Cancelled;
  const SOCKET socket = native_->socket;
  const sockaddr_in target = SocketAddress(address, port);
  if (::connect(socket, reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0) {
    if (!WouldBlock()) return WaitEnd::Failed;
    WSANETWORKEVENTS seen{};
    while ((seen.lNetworkEvents & FD_CONNECT) == 0) {
      const WaitEnd end = WaitForEvents(*native_, deadline, cancel, seen, false);
      if (end != WaitEnd::Ready) return end;
    }
    if (seen.iErrorCode[FD_CONNECT_BIT] != 0) return WaitEnd::Failed;
  }
  sockaddr_in local{}, peer{};
  int localLength = sizeof local, peerLength = sizeof peer;
  if (::getsockname(socket, reinterpret_cast<sockaddr*>(&local), &localLength) != 0 ||
      ::getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0 ||
      SameEndpoint(local, peer)) {
    return WaitEnd::Failed;
  }
  return WaitEnd::Ready;
}

WaitEnd TcpConnection::Send(std::string_view bytes, Deadline deadline, const CancelSignal& cancel) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    if (cancel.Cancelled()) return WaitEnd::Cancelled;
    const int chunk = static_cast<int>(std::min<std::size_t>(bytes.size() - sent, 1 << 20));
    const int done = ::send(native_->socket, bytes.data() + sent, chunk, 0);
    if (done > 0) {
      sent += static_cast<std::size_t>(done);
      continue;
    }
    if (done < 0 && WouldBlock()) {
      const WaitEnd end = WaitToRetry(*native_, deadline, cancel);
      if (end != WaitEnd::Ready) return end;
      continue;
    }
    return WaitEnd::Failed;
  }
  return WaitEnd::Ready;
}

namespace {

// recv that waits: Ready with the count (0: the peer closed), or how the wait ended.
WaitEnd ReceiveWaiting(const EventSocket& endpoint, char* buffer, std::size_t size, int flags,
                       std::size_t& count, Deadline deadline, const CancelSignal& cancel) {
  const int wanted = static_cast<int>(std::min<std::size_t>(size, 1 << 20));
  for (;;) {
    if (cancel.Cancelled()) return WaitEnd::Cancelled;
    const int done = ::recv(endpoint.socket, buffer, wanted, flags);
    if (done >= 0) {
      count = static_cast<std::size_t>(done);
      return WaitEnd::Ready;
    }
    if (!WouldBlock()) return WaitEnd::Failed;
    const WaitEnd end = WaitToRetry(endpoint, deadline, cancel);
    if (end != WaitEnd::Ready) return end;
  }
}

}  // namespace

WaitEnd TcpConnection::Peek(char* buffer, std::size_t size, std::size_t& seen, Deadline deadline,
                            const CancelSignal& cancel) {
  return ReceiveWaiting(*native_, buffer, size, MSG_PEEK, seen, deadline, cancel);
}

bool TcpConnection::Consume(std::size_t count) {
  char discard[512];
  while (count > 0) {
    const int wanted = static_cast<int>(std::min(count, sizeof discard));
    const int taken = ::recv(native_->socket, discard, wanted, 0);
    if (taken <= 0) return false;
    count -= static_cast<std::size_t>(taken);
  }
  return true;
}

WaitEnd TcpConnection::Receive(char* buffer, std::size_t size, std::size_t& got, Deadline deadline,
                               const CancelSignal& cancel) {
  return ReceiveWaiting(*native_, buffer, size, 0, got, deadline, cancel);
}

void TcpConnection::ShutdownSending() { ::shutdown(native_->socket, SD_SEND); }

std::string TcpConnection::PeerText() const {
  sockaddr_in peer{};
  int length = sizeof peer;
  if (::getpeername(native_->socket, reinterpret_cast<sockaddr*>(&peer), &length) != 0) return {};
  return EndpointText(peer);
}

TcpListener::TcpListener(const std::string& host, std::uint16_t port, int backlog)
    : native_(std::make_unique<Native>()) {
  const auto address = ParseIpv4(host);
  const std::string where = host + ":" + std::to_string(port);
  if (!address) throw std::runtime_error("not an IPv4 address: " + host);
  // No SO_REUSEADDR: on Windows it would let another program take over a port in use.
  sockaddr_in local = SocketAddress(*address, port);
  int length = sizeof local;
  if (!native_->usable() ||
      ::bind(native_->socket, reinterpret_cast<sockaddr*>(&local), length) != 0 ||
      ::listen(native_->socket, backlog) != 0 ||
      ::getsockname(native_->socket, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
    throw std::runtime_error("cannot listen on " + where);
  }
  port_ = ntohs(local.sin_port);
}

TcpListener::~TcpListener() = default;

std::unique_ptr<TcpConnection> TcpListener::Accept(Deadline deadline, const CancelSignal& cancel,
                                                   WaitEnd& end) {
  for (;;) {
    if (cancel.Cancelled()) {
      end = WaitEnd::Cancelled;
      return nullptr;
    }
    const SOCKET client = ::accept(native_->socket, nullptr, nullptr);
    if (client != INVALID_SOCKET) {
      // The accepted socket shares the listener's event until it is given one of its own.
      auto native = std::make_unique<TcpConnection::Native>(client);
      end = native->usable() ? WaitEnd::Ready : WaitEnd::Failed;
      if (end == WaitEnd::Failed) return nullptr;
      return std::make_unique<TcpConnection>(std::move(native));
    }
    const int error = ::WSAGetLastError();
    // The client left before it was taken: wait for the next.
    if (error != WSAEWOULDBLOCK && error != WSAECONNRESET) {
      end = WaitEnd::Failed;
      return nullptr;
    }
    end = WaitToRetry(*native_, deadline, cancel);
    if (end != WaitEnd::Ready) return nullptr;
  }
}

}  // namespace platform
