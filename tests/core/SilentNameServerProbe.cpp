// Calls a server by a name that no name server answers for, in network and mount namespaces
// of its own: loopback only, and a resolv.conf naming a server on it that never replies.
// Prints the reply and the milliseconds the call took; exits 77 where namespaces are denied.
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>

#include "Reply.h"
#include "ServerLink.h"

namespace {

constexpr int kNamespacesDenied = 77;

bool LoopbackUp() {
  const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  ifreq request{};
  std::snprintf(request.ifr_name, IFNAMSIZ, "lo");
  const bool up = ::ioctl(fd, SIOCGIFFLAGS, &request) == 0 &&
                  (request.ifr_flags |= IFF_UP, ::ioctl(fd, SIOCSIFFLAGS, &request) == 0);
  ::close(fd);
  return up;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string resolvConf = argv[1];
  if (::unshare(CLONE_NEWNET | CLONE_NEWNS) != 0 ||
      ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 || !LoopbackUp()) {
    return kNamespacesDenied;
  }
  // The resolver would wait 30 s for this server; only the call's own bound can end it sooner.
  std::ofstream(resolvConf) << "nameserver 127.0.0.1\noptions timeout:30 attempts:1\n";
  if (::mount(resolvConf.c_str(), "/etc/resolv.conf", nullptr, MS_BIND, nullptr) != 0) {
    return kNamespacesDenied;
  }
  const int silent = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(53);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    return kNamespacesDenied;
  }

  client::ServerLink link;
  link.SetHost("vedo-server.invalid");
  link.SetLimits({std::chrono::milliseconds(1000), std::chrono::milliseconds(1000), 1024});
  const auto started = std::chrono::steady_clock::now();
  const std::string reply = testsupport::Reply(link, "Status;1");
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - started);
  std::cout << reply << "\n" << took.count() << "\n";
  return 0;
}
