#include "Server.h"

#include <chrono>
#include <ctime>
#include <iomanip>
#include <sstream>

#include "Cp1252.h"

namespace dncsim {
namespace {

using Clock = std::chrono::steady_clock;

// A client that sends no complete line in this time is dropped, however slowly it sends.
constexpr auto kRequestTimeout = std::chrono::seconds(5);
constexpr std::size_t kMaxRequest = 4096;
// With no new connection for this long, finished threads are reaped all the same.
constexpr auto kReapInterval = std::chrono::milliseconds(500);
// After a failed accept (descriptors used up, say): a pause, so as not to spin.
constexpr auto kAcceptRetry = std::chrono::milliseconds(20);

std::string Timestamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  ::localtime_r(&seconds, &local);
  std::ostringstream text;
  text << std::put_time(&local, "%Y-%m-%d %H:%M:%S") << '.' << std::setw(3) << std::setfill('0')
       << millis;
  return text.str();
}

// Reads up to CR LF; false when the client closes, sends too much, takes too long or the server
// stops. Bytes after the CR LF are not part of the request.
bool ReadRequest(platform::TcpConnection& connection, platform::Deadline deadline,
                 const platform::CancelSignal& stop, std::string& request) {
  char buffer[512];
  std::string bytes;
  while (bytes.size() < kMaxRequest) {
    std::size_t got = 0;
    if (connection.Receive(buffer, sizeof buffer, got, deadline, stop) !=
            platform::WaitEnd::Ready ||
        got == 0) {
      return false;
    }
    bytes.append(buffer, got);
    const auto end = bytes.find("\r\n");
    if (end != std::string::npos && end < kMaxRequest) {
      request = bytes.substr(0, end);
      return true;
    }
  }
  return false;
}

}  // namespace

Server::Server(const std::string& host, int port, Answer answer, std::ostream& log)
    : listener_(host, static_cast<std::uint16_t>(port), 512),
      answer_(std::move(answer)),
      log_(log) {}

Server::~Server() {
  Stop();
  for (auto& worker : workers_) worker.thread.join();
}

void Server::Stop() { stop_.Cancel(); }

void Server::Run() {
  while (!stop_.Cancelled()) {
    platform::WaitEnd end = platform::WaitEnd::Ready;
    auto connection = listener_.Accept(Clock::now() + kReapInterval, stop_, end);
    ReapFinished();
    if (!connection) {
      if (end == platform::WaitEnd::Failed) std::this_thread::sleep_for(kAcceptRetry);
      continue;
    }
    auto finished = std::make_shared<std::atomic<bool>>(false);
    workers_.push_back({std::thread([this, finished, owned = std::move(connection)]() mutable {
                          Serve(*owned);
                          owned.reset();  // closed before the thread counts as finished
                          *finished = true;
                        }),
                        finished});
  }
  for (auto& worker : workers_) worker.thread.join();
  workers_.clear();
}

// Joins only threads that have ended, which returns at once: a slow client never holds up the
// accepting of new ones.
void Server::ReapFinished() {
  std::erase_if(workers_, [](Worker& worker) {
    if (!*worker.finished) return false;
    worker.thread.join();
    return true;
  });
}

void Server::Serve(platform::TcpConnection& connection) {
  const auto deadline = Clock::now() + kRequestTimeout;
  std::string request;
  if (!ReadRequest(connection, deadline, stop_, request)) return;
  const std::string reply = answer_(request);
  {
    // Logged before the reply goes out, so that the log keeps the order of a client's calls.
    std::lock_guard lock(logMutex_);
    log_ << Timestamp() << ' ' << connection.PeerText() << " \"" << platform::Cp1252ToUtf8(request)
         << "\" -> \"" << platform::Cp1252ToUtf8(reply) << '"' << std::endl;
  }
  // A client that does not take its reply in time is left; the reply is its loss only.
  (void)connection.Send(reply + "\r\n", deadline, stop_);
}

}  // namespace dncsim
