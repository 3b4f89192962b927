#include "ServerLink.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "Connection.h"
#include "RecentAddresses.h"
#include "Util.h"

namespace client {
namespace {

using platform::Deadline;
using platform::WaitEnd;

// Replies are read in looks of at most this many bytes.
constexpr std::size_t kLookSize = 511;

bool AllDigits(const std::string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The port number, nothing for a number outside 0 to 65535, or the failure's text for a text
// that is no port at all. A text of digits is a number (no service name is all digits, and the
// lookup re-reads the services file on every call); another text is looked up as a service name
// first, then read by the integer rule.
struct ResolvedPort {
  std::optional<uint16_t> number;
  std::string invalid;
};

ResolvedPort ResolvePort(const std::string& port) {
  if (port.empty()) return {0, {}};
  int32_t number = 0;
  if (AllDigits(port)) {
    if (!util::TryTextToInt(port, number)) return {};  // beyond the integer range
  } else if (const auto service = platform::LookUpService(port)) {
    return {service, {}};
  } else if (!util::TryTextToInt(port, number)) {
    return {std::nullopt, "'" + port + "' is not a valid integer value"};
  }
  if (number < 0 || number > 65535) return {};
  return {static_cast<uint16_t>(number), {}};
}

std::optional<platform::Ipv4Address> ResolveHost(const std::string& host, Deadline deadline,
                                                 const platform::CancelSignal& cancel) {
  static RecentAddresses recent;
  const std::string name = host.empty() ? "0.0.0.0" : host;
  if (name[0] >= '0' && name[0] <= '9') return platform::ParseIpv4(name);
  const auto now = RecentAddresses::Clock::now();
  if (const auto address = recent.Find(name, now)) return address;
  const auto address = platform::LookUpIpv4(name, deadline, cancel);
  if (address) recent.Keep(name, *address, now);
  return address;
}

CallOutcome FromWait(WaitEnd end) {
  return end == WaitEnd::Cancelled ? CallOutcome::Cancelled : CallOutcome::NoAnswer;
}

// Reads the reply line: looks at the waiting bytes without taking them, then takes exactly
// those up to and including the CR LF, so that bytes after it stay unread. A CR that ends one
// look may be the first half of the line end; it is held at the end of the reply meanwhile
// and counts against the cap only once it is known to be part of the line.
CallResult ReadLine(platform::TcpConnection& connection, std::size_t maxReply, Deadline deadline,
                    const platform::CancelSignal& cancel) {
  char look[kLookSize];
  CallResult result;
  std::string& reply = result.line;
  bool endsWithCr = false;
  for (;;) {
    std::size_t seen = 0;
    const WaitEnd end = connection.Peek(look, sizeof look, seen, deadline, cancel);
    if (end == WaitEnd::Failed || (end == WaitEnd::Ready && seen == 0)) break;  // closed
    if (end != WaitEnd::Ready) return {FromWait(end), {}};
    const std::string_view bytes(look, seen);

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
    const std::size_t length = reply.size() - (!lineEnds && endsWithCr ? 1 : 0);
    if (length > maxReply) return {CallOutcome::TooLong, {}};
    if (!connection.Consume(take)) break;
    if (lineEnds) return result;
  }
  // Closed without a line end: a held CR is part of the reply after all.
  if (reply.size() > maxReply) return {CallOutcome::TooLong, {}};
  return result;
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

CallResult ServerLink::Exchange(const std::string& request,
                                const platform::CancelSignal& cancel) const {
  platform::TcpConnection connection;
  // Looking the name up and connecting share one bound.
  const Deadline connectDeadline = std::chrono::steady_clock::now() + limits_.connect;
  const ResolvedPort port = ResolvePort(port_);
  if (!port.invalid.empty()) return {CallOutcome::InvalidPort, port.invalid};
  const auto address = ResolveHost(host_, connectDeadline, cancel);
  if (cancel.Cancelled()) return {CallOutcome::Cancelled, {}};
  if (!port.number || !address) return {CallOutcome::NoContact, {}};
  switch (connection.Connect(*address, *port.number, connectDeadline, cancel)) {
    case WaitEnd::Ready:
      break;
    case WaitEnd::Cancelled:
      return {CallOutcome::Cancelled, {}};
    case WaitEnd::TimedOut:
    case WaitEnd::Failed:
      return {CallOutcome::NoContact, {}};
  }

  const Deadline deadline = std::chrono::steady_clock::now() + limits_.reply;
  // A refused write is not reported: the read that follows ends as if the server had closed.
  if (connection.Send(request + "\r\n", deadline, cancel) == WaitEnd::Cancelled) {
    return {CallOutcome::Cancelled, {}};
  }
  CallResult result = ReadLine(connection, limits_.maxReply, deadline, cancel);
  // Replies are text: a zero byte would cut every display of it short, so it shows as "?".
  std::replace(result.line.begin(), result.line.end(), '\0', '?');
  return result;
}

std::string ServerLink::ReplyText(const CallResult& result) const {
  switch (result.outcome) {
    case CallOutcome::Answered:
      return result.line;
    case CallOutcome::NoContact:
      return NoContactReply();
    case CallOutcome::NoAnswer:
      return NoAnswerReply();
    case CallOutcome::TooLong:
      return TooLongReply();
    case CallOutcome::InvalidPort:
      return result.line;
    case CallOutcome::Cancelled:
      break;
  }
  return {};
}

}  // namespace client
