// The reply reader against a loopback server that reads the request, writes the fuzzed bytes in
// fuzzed pieces with fuzzed pauses between them, and closes. Whatever the bytes and however the
// reads split them, the reply is the line before the first CR LF with zero bytes shown as "?",
// or the too-long text when that line is longer than the cap: never a CR LF, never a zero byte,
// never more than the cap.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "Connection.h"
#include "Require.h"
#include "ServerLink.h"

namespace {

struct Piece {
  std::string bytes;
  std::chrono::microseconds pause;  // before the piece
};

class LoopbackListener {
 public:
  LoopbackListener() : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    VEDO_REQUIRE(fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
                 ::listen(fd_, 8) == 0 &&
                 ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0);
    port_ = ntohs(address.sin_port);
  }
  int fd() const { return fd_; }
  int port() const { return port_; }

 private:
  int fd_;
  int port_ = 0;
};

void Serve(int listener, const std::vector<Piece>& pieces) {
  const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
  if (client < 0) return;
  const int noDelay = 1;
  ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
  std::string request;
  char buffer[256];
  while (request.find("\r\n") == std::string::npos) {
    const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
    if (got <= 0) break;
    request.append(buffer, static_cast<std::size_t>(got));
  }
  for (const Piece& piece : pieces) {
    if (piece.pause.count() > 0) std::this_thread::sleep_for(piece.pause);
    if (::send(client, piece.bytes.data(), piece.bytes.size(), MSG_NOSIGNAL) < 0) break;
  }
  ::close(client);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static LoopbackListener listener;
  FuzzedDataProvider input(data, size);
  client::ServerLimits limits;
  limits.maxReply = input.ConsumeIntegralInRange<std::size_t>(1, 1100);
  std::vector<Piece> pieces;
  std::string sent;
  while (input.remaining_bytes() > 0) {
    const auto length = input.ConsumeIntegralInRange<std::size_t>(1, 700);
    const auto pause = std::chrono::microseconds(input.ConsumeIntegralInRange<int>(0, 3) * 100);
    pieces.push_back({input.ConsumeBytesAsString(length), pause});
    sent += pieces.back().bytes;
  }

  client::ServerLink link;
  link.SetHost("127.0.0.1");
  link.SetPort(std::to_string(listener.port()));
  link.SetLimits(limits);
  std::thread server(Serve, listener.fd(), std::cref(pieces));
  const platform::CancelSignal never;
  const std::string reply = link.ReplyText(link.Exchange("Status;1", never));
  server.join();

  std::string line = sent.substr(0, sent.find("\r\n"));
  if (line.size() > limits.maxReply) {
    VEDO_REQUIRE(reply == link.TooLongReply());
    return 0;
  }
  std::replace(line.begin(), line.end(), '\0', '?');
  VEDO_REQUIRE(reply == line);
  VEDO_REQUIRE(reply.find("\r\n") == std::string::npos);
  VEDO_REQUIRE(reply.find('\0') == std::string::npos);
  return 0;
}
