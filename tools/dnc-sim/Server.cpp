#include "Server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <iomanip>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "Cp1252.h"

namespace dncsim {
namespace {

// A client that sends no complete line in this time is dropped.
constexpr int kRequestTimeoutMs = 5000;
constexpr std::size_t kMaxRequest = 4096;

std::mutex logMutex;

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

// Reads up to CR LF; false when the client closes, sends too much or takes too long.
bool ReadRequest(int client, std::string& request) {
  char c = 0;
  while (request.size() < kMaxRequest) {
    pollfd entry{client, POLLIN, 0};
    if (::poll(&entry, 1, kRequestTimeoutMs) <= 0) return false;
    if (::recv(client, &c, 1, 0) != 1) return false;
    request += c;
    if (request.size() >= 2 && request.compare(request.size() - 2, 2, "\r\n") == 0) {
      request.resize(request.size() - 2);
      return true;
    }
  }
  return false;
}

}  // namespace

Server::Server(const std::string& host, int port, Answer answer, std::ostream& log)
    : answer_(std::move(answer)), log_(log) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  if (::inet_aton(host.c_str(), &address.sin_addr) == 0) {
    throw std::runtime_error("not an IPv4 address: " + host);
  }
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int reuse = 1;
  ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
  socklen_t length = sizeof address;
  int pipeFds[2];
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listener_, 64) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
      ::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
    throw std::runtime_error("cannot listen on " + host + ":" + std::to_string(port));
  }
  wakeRead_ = pipeFds[0];
  wakeWrite_ = pipeFds[1];
  port_ = ntohs(address.sin_port);
}

Server::~Server() {
  ::close(listener_);
  ::close(wakeRead_);
  ::close(wakeWrite_);
}

void Server::Stop() { (void)::write(wakeWrite_, "x", 1); }

void Server::Run() {
  std::vector<std::thread> connections;
  for (;;) {
    pollfd entries[2] = {{listener_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    if (::poll(entries, 2, -1) < 0) continue;
    if (entries[1].revents != 0) break;
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    const int client =
        ::accept4(listener_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC);
    if (client < 0) continue;
    const std::string peerText =
        std::string(::inet_ntoa(peer.sin_addr)) + ":" + std::to_string(ntohs(peer.sin_port));
    connections.emplace_back([this, client, peerText] { Serve(client, peerText); });
    if (connections.size() > 64) {  // join the ones that are long done
      for (auto& connection : connections) connection.join();
      connections.clear();
    }
  }
  for (auto& connection : connections) connection.join();
}

void Server::Serve(int client, const std::string& peer) {
  std::string request;
  if (ReadRequest(client, request)) {
    const std::string reply = answer_(request);
    {
      // Logged before the reply goes out, so that the log keeps the order of a client's calls.
      std::lock_guard lock(logMutex);
      log_ << Timestamp() << ' ' << peer << " \"" << platform::Cp1252ToUtf8(request) << "\" -> \""
           << platform::Cp1252ToUtf8(reply) << '"' << std::endl;
    }
    const std::string line = reply + "\r\n";
    (void)::send(client, line.data(), line.size(), MSG_NOSIGNAL);
  }
  ::shutdown(client, SHUT_RDWR);
  ::close(client);
}

}  // namespace dncsim
