// The exchange with the DNC server: one request line out, one reply line back, over a TCP
// connection that exists only for that call. Every outcome comes back as a value, so that a
// call can run on any thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <stdexcept>
#include <string>

namespace platform {
class CancelSignal;
}

namespace client {

// A port text that is neither a service name nor a number: the user action that made the call
// ends with this failure, on the thread that asked for the call.
class InvalidPort : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// How long a call may wait, and how long a reply may be; a call never waits longer than
// `connect` + `reply`, so the window never waits on a server that does not answer.
struct ServerLimits {
  std::chrono::milliseconds connect{3000};
  std::chrono::milliseconds reply{5000};
  std::size_t maxReply = 64 * 1024;
};

// How a call ended: only Answered carries a line of the server's.
enum class CallOutcome {
  Answered,     // the server's line, or what it sent before it closed (possibly nothing)
  NoContact,    // no connection within the bound
  NoAnswer,     // connected, but the line did not end within the bound
  TooLong,      // the line passed the cap
  Cancelled,    // the caller gave the call up
  InvalidPort,  // the port text is neither a service name nor a number; the line says so
};

struct CallResult {
  CallOutcome outcome = CallOutcome::Answered;
  std::string line;  // the server's line (cp1252, without CR LF) when Answered; the failure's
                     // text when InvalidPort
};

// The server's address and the bounds of a call: a value, copied into each call, so that a
// call under way never sees the address change.
class ServerLink {
 public:
  static constexpr const char* kDefaultPort = "50000";

  // "host:port", split at the first ":"; without one, the default port.
  void SetAddress(const std::string& address);
  void SetHost(const std::string& host) { host_ = host; }
  void SetPort(const std::string& port) { port_ = port; }
  const std::string& Host() const { return host_; }
  const std::string& Port() const { return port_; }
  void SetLimits(const ServerLimits& limits) { limits_ = limits; }
  const ServerLimits& Limits() const { return limits_; }

  // Sends the request (cp1252) followed by CR LF and reads the reply line without it. Setting
  // the signal from another thread ends the call at once, as Cancelled.
  CallResult Exchange(const std::string& request, const platform::CancelSignal& cancel) const;

  // The text the window shows for a call's end: the server's line, or one of our own texts for
  // the other outcomes.
  std::string ReplyText(const CallResult& result) const;

  // The reply texts of our own, for a server that cannot be reached, does not answer in time,
  // or sends a line longer than the cap.
  std::string NoContactReply() const;
  std::string NoAnswerReply() const;
  std::string TooLongReply() const;

 private:
  std::string host_ = "localhost";
  std::string port_ = kDefaultPort;
  ServerLimits limits_;
};

}  // namespace client
