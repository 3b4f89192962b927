// TCP over IPv4 with deadlines and a cancel: the socket work of the server exchange. Every wait
// ends at its deadline, or at once when the call's cancel signal is set from another thread, so
// that a window never waits on a server longer than it chooses to.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

using Deadline = std::chrono::steady_clock::time_point;

// Set from any thread to wake the waits that watch it; stays set until Reset.
class CancelSignal {
 public:
  CancelSignal();
  ~CancelSignal();
  CancelSignal(const CancelSignal&) = delete;
  CancelSignal& operator=(const CancelSignal&) = delete;

  void Cancel();
  void Reset();
  bool Cancelled() const;

  // The backend's handle: an eventfd on POSIX, an event object on Windows.
  struct Native;
  Native& native() const { return *native_; }

 private:
  std::unique_ptr<Native> native_;
};

// How a wait ended.
enum class WaitEnd { Ready, TimedOut, Cancelled, Failed };

// Four bytes in network order: 127.0.0.1 is {127, 0, 0, 1}.
using Ipv4Address = std::array<std::uint8_t, 4>;

// A dotted IPv4 address as inet_aton reads it ("10.0.0.5", also "127.1" and "0x7f.1").
std::optional<Ipv4Address> ParseIpv4(const std::string& text);

// The first IPv4 address of a host name, looked up within the deadline. Nothing when the name
// is unknown, the time is up or the signal was set.
std::optional<Ipv4Address> LookUpIpv4(const std::string& name, Deadline deadline,
                                      const CancelSignal& cancel);

// The port of a service name, of any protocol ("ftp" is 21); nothing when there is none.
std::optional<std::uint16_t> LookUpService(const std::string& name);

// One stream connection; shut down in both directions and closed when destroyed.
class TcpConnection {
 public:
  TcpConnection();
  ~TcpConnection();
  TcpConnection(const TcpConnection&) = delete;
  TcpConnection& operator=(const TcpConnection&) = delete;

  // Connects within the deadline. A socket that the system connected to itself (possible on a
  // port of the ephemeral range with nobody listening) counts as Failed.
  WaitEnd Connect(const Ipv4Address& address, std::uint16_t port, Deadline deadline,
                  const CancelSignal& cancel);
  // Sends every byte; Failed when the peer or the system refuses them.
  WaitEnd Send(std::string_view bytes, Deadline deadline, const CancelSignal& cancel);
  // Waits for bytes and looks at up to `size` of them without taking them; `seen` 0 with Ready
  // means the peer closed. Failed for a reset or another error.
  WaitEnd Peek(char* buffer, std::size_t size, std::size_t& seen, Deadline deadline,
               const CancelSignal& cancel);
  // Takes `count` bytes that Peek has shown; false when they could not be taken.
  bool Consume(std::size_t count);
  // Waits for bytes and takes up to `size` of them; `got` 0 with Ready means the peer closed.
  WaitEnd Receive(char* buffer, std::size_t size, std::size_t& got, Deadline deadline,
                  const CancelSignal& cancel);
  // Ends the sending direction: the peer reads the end of the stream.
  void ShutdownSending();
  // The peer's address as "a.b.c.d:port"; empty when not connected.
  std::string PeerText() const;

  struct Native;
  // An accepted connection, made by TcpListener.
  explicit TcpConnection(std::unique_ptr<Native> native);

 private:
  std::unique_ptr<Native> native_;
};

// A listening socket on an IPv4 address, for servers: the simulator and the tests' servers.
class TcpListener {
 public:
  // Listens on host:port (port 0: a free one) with the given queue length; throws
  // std::runtime_error naming the address when it cannot.
  TcpListener(const std::string& host, std::uint16_t port, int backlog = 128);
  ~TcpListener();
  TcpListener(const TcpListener&) = delete;
  TcpListener& operator=(const TcpListener&) = delete;

  std::uint16_t Port() const { return port_; }
  // Waits for the next connection; null when the deadline passed, the signal was set, or the
  // accept failed (then `end` tells which).
  std::unique_ptr<TcpConnection> Accept(Deadline deadline, const CancelSignal& cancel,
                                        WaitEnd& end);

  struct Native;

 private:
  std::unique_ptr<Native> native_;
  std::uint16_t port_ = 0;
};

// A deadline that never comes, for waits bounded only by their cancel.
constexpr Deadline kNoDeadline = Deadline::max();

}  // namespace platform
