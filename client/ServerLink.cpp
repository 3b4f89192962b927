#include "ServerLink.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "Util.h"

namespace client {
namespace {

using Clock = std::chrono::steady_clock;

// Replies are read in looks of at most this many bytes.
constexpr std::size_t kLookSize = 511;

// Closes the connection in both directions on every path out of a call.
class Connection {
 public:
  Connection() : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)) {}
  ~Connection() {
    if (fd_ >= 0) {
      ::shutdown(fd_, SHUT_RDWR);
      ::close(fd_);
    }
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

int MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, left.count()));
}

// Waits for the events until the deadline: true when they came.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd entry{fd, events, 0};
    const int ready = ::poll(&entry, 1, MillisecondsUntil(deadline));
    if (ready > 0) return true;
    if (ready == 0 || errno != EINTR) return false;
  }
}

bool AllDigits(const std::string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The port number, or nothing for a number outside 0 to 65535. A text of digits is a number
// (no service name is all digits, and the lookup re-reads the services file on every call);
// another text is looked up as a service name first, then read by the integer rule.
std::optional<uint16_t> ResolvePort(const std::string& port) {
  if (port.empty()) return 0;
  int32_t number = 0;
  bool isNumber = false;
  if (AllDigits(port)) {
    isNumber = util::TryTextToInt(port, number);
    if (!isNumber) return std::nullopt;  // digits beyond the integer range
  } else if (const servent* service = ::getservbyname(port.c_str(), nullptr)) {
    return ntohs(static_cast<uint16_t>(service->s_port));
  } else {
    isNumber = util::TryTextToInt(port, number);
  }
  if (!isNumber) throw InvalidPort("'" + port + "' is not a valid integer value");
  if (number < 0 || number > 65535) return std::nullopt;
  return static_cast<uint16_t>(number);
}

// Name lookups given up by their call while still under way; freed once they have ended.
class AbandonedLookups {
 public:
  void Add(std::unique_ptr<gaicb> request, std::unique_ptr<addrinfo> hints,
           std::unique_ptr<std::string> name) {
    std::lock_guard lock(mutex_);
    entries_.push_back({std::move(request), std::move(hints), std::move(name)});
  }
  void Reap() {
    std::lock_guard lock(mutex_);
    std::erase_if(entries_, [](Entry& entry) {
      if (::gai_error(entry.request.get()) == EAI_INPROGRESS) return false;
      if (entry.request->ar_result != nullptr) ::freeaddrinfo(entry.request->ar_result);
      return true;
    });
  }

 private:
  struct Entry {
    std::unique_ptr<gaicb> request;
    std::unique_ptr<addrinfo> hints;
    std::unique_ptr<std::string> name;
  };
  std::mutex mutex_;
  std::vector<Entry> entries_;
};

// Never destroyed: a lookup thread may still write into an entry while the program exits.
AbandonedLookups& Abandoned() {
  static auto* lookups = new AbandonedLookups;
  return *lookups;
}

// The first IPv4 address of the name, looked up within the deadline: a name server that does
// not answer must not freeze the window any more than a host that does not.
std::optional<in_addr> LookUpName(const std::string& host, Clock::time_point deadline) {
  Abandoned().Reap();
  auto name = std::make_unique<std::string>(host);
  auto hints = std::make_unique<addrinfo>();
  hints->ai_family = AF_INET;
  hints->ai_socktype = SOCK_STREAM;
  auto request = std::make_unique<gaicb>();
  request->ar_name = name->c_str();
  request->ar_request = hints.get();
  gaicb* list[] = {request.get()};
  if (::getaddrinfo_a(GAI_NOWAIT, list, 1, nullptr) != 0) return std::nullopt;
  while (::gai_error(request.get()) == EAI_INPROGRESS) {
    const int left = MillisecondsUntil(deadline);
    if (left == 0) {
      if (::gai_cancel(request.get()) != EAI_CANCELED) {
        Abandoned().Add(std::move(request), std::move(hints), std::move(name));
      }
      return std::nullopt;
    }
    const timespec wait{left / 1000, (left % 1000) * 1000000L};
    ::gai_suspend(list, 1, &wait);
  }
  std::optional<in_addr> address;
  if (::gai_error(request.get()) == 0 && request->ar_result != nullptr) {
    address = reinterpret_cast<sockaddr_in*>(request->ar_result->ai_addr)->sin_addr;
  }
  if (request->ar_result != nullptr) ::freeaddrinfo(request->ar_result);
  return address;
}

std::optional<in_addr> ResolveHost(const std::string& host, Clock::time_point deadline) {
  const std::string name = host.empty() ? "0.0.0.0" : host;
  if (name[0] >= '0' && name[0] <= '9') {
    in_addr address{};
    if (::inet_aton(name.c_str(), &address) == 0) return std::nullopt;
    return address;
  }
  return LookUpName(name, deadline);
}

bool SameEndpoint(const sockaddr_in& a, const sockaddr_in& b) {
  return a.sin_port == b.sin_port && a.sin_addr.s_addr == b.sin_addr.s_addr;
}

// Connects within the deadline. A socket connected to itself (which can happen on a port of
// the ephemeral range with no server listening) is no connection.
bool Connect(const Connection& connection, const sockaddr_in& target, Clock::time_point deadline) {
  if (connection.fd() < 0) return false;
  if (::connect(connection.fd(), reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0) {
    if (errno != EINPROGRESS && errno != EINTR) return false;
    if (!WaitFor(connection.fd(), POLLOUT, deadline)) return false;
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(connection.fd(), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
      return false;
    }
  }
  sockaddr_in local{}, peer{};
  socklen_t localLength = sizeof local, peerLength = sizeof peer;
  if (::getsockname(connection.fd(), reinterpret_cast<sockaddr*>(&local), &localLength) != 0 ||
      ::getpeername(connection.fd(), reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0) {
    return false;
  }
  return !SameEndpoint(local, peer);
}

// Write errors are not reported: the read that follows ends as if the server had closed.
void SendLine(const Connection& connection, const std::string& line, Clock::time_point deadline) {
  std::size_t sent = 0;
  while (sent < line.size()) {
    const ssize_t done =
        ::send(connection.fd(), line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
    if (done > 0) {
      sent += static_cast<std::size_t>(done);
      continue;
    }
    const bool mayRetry =
        done < 0 &&
        (errno == EINTR || (errno == EAGAIN && WaitFor(connection.fd(), POLLOUT, deadline)));
    if (!mayRetry) return;
  }
}

enum class ReadEnd { Line, Closed, TimedOut, TooLong };

// Reads the reply line: looks at the waiting bytes without taking them, then takes exactly
// those up to and including the CR LF, so that bytes after it stay unread.
ReadEnd ReadLine(const Connection& connection, std::string& reply, std::size_t maxReply,
                 Clock::time_point deadline) {
  char look[kLookSize];
  bool endsWithCr = false;  // the previous look ended with a CR, now at the end of the reply
  for (;;) {
    if (!WaitFor(connection.fd(), POLLIN, deadline)) return ReadEnd::TimedOut;
    const ssize_t seen = ::recv(connection.fd(), look, sizeof look, MSG_PEEK);
    if (seen < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (seen <= 0) return ReadEnd::Closed;
    const std::string_view bytes(look, static_cast<std::size_t>(seen));

    std::size_t take = bytes.size();
    bool lineEnds = false;
    if (endsWithCr && bytes[0] == '\n') {
      reply.pop_back();
      take = 1;
      lineEnds = true;
    } else if (const auto crlf = bytes.find("\r\n"); crlf != std::string_view::npos) {
      reply.append(bytes.substr(0, crlf));
      take = crlf + 2;
      lineEnds = true;
    } else {
      reply.append(bytes);
      endsWithCr = bytes.back() == '\r';
    }
    if (::recv(connection.fd(), look, take, 0) != static_cast<ssize_t>(take)) {
      return ReadEnd::Closed;
    }
    if (lineEnds) return ReadEnd::Line;
    if (reply.size() > maxReply) return ReadEnd::TooLong;
  }
}

std::string AddressText(const ServerLink& link) { return link.Host() + ":" + link.Port(); }

}  // namespace

void ServerLink::SetAddress(const std::string& address) {
  const auto colon = address.find(':');
  host_ = address.substr(0, colon);
  port_ = colon == std::string::npos ? kDefaultPort : address.substr(colon + 1);
}

std::string ServerLink::NoContactReply() const {
  return "Ingen kontakt med Orvi-Vedo-server (" + AddressText(*this) + ")";
}

std::string ServerLink::NoAnswerReply() const {
  return "Intet svar fra Orvi-Vedo-server (" + AddressText(*this) + ")";
}

std::string ServerLink::TooLongReply() const {
  return "For langt svar fra Orvi-Vedo-server (" + AddressText(*this) + ")";
}

std::string ServerLink::Call(const std::string& request) const {
  Connection connection;
  // Looking the name up and connecting share one bound.
  const auto connectDeadline = Clock::now() + limits_.connect;
  const auto port = ResolvePort(port_);
  const auto address = ResolveHost(host_, connectDeadline);
  if (!port || !address) return NoContactReply();

  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(*port);
  target.sin_addr = *address;
  if (!Connect(connection, target, connectDeadline)) return NoContactReply();

  const auto deadline = Clock::now() + limits_.reply;
  SendLine(connection, request + "\r\n", deadline);
  std::string reply;
  switch (ReadLine(connection, reply, limits_.maxReply, deadline)) {
    case ReadEnd::TimedOut:
      return NoAnswerReply();
    case ReadEnd::TooLong:
      return TooLongReply();
    case ReadEnd::Line:
    case ReadEnd::Closed:
      break;
  }
  // Replies are text: a zero byte would cut every display of it short, so it shows as "?".
  std::replace(reply.begin(), reply.end(), '\0', '?');
  return reply;
}

std::string NextField(std::string& text) { return util::SplitFirst(';', text); }

}  // namespace client
