// Name lookup within a deadline. getaddrinfo cannot be bounded, so it runs on a thread of its
// own; the caller waits for it, its deadline and its cancel, and gives it up when either comes
// first. The abandoned thread ends on its own and frees what it found.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "CancelNative.h"

namespace platform {
namespace {

struct Lookup {
  Lookup() : done(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    if (done == nullptr) {
      throw std::runtime_error("CreateEvent failed: error " + std::to_string(::GetLastError()));
    }
  }
  ~Lookup() { ::CloseHandle(done); }
  Lookup(const Lookup&) = delete;
  Lookup& operator=(const Lookup&) = delete;

  HANDLE done;
  std::optional<Ipv4Address> address;  // written before `done` is set, read only after
};

std::optional<Ipv4Address> FirstIpv4(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
    return std::nullopt;
  }
  const auto* endpoint = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&endpoint->sin_addr);
  Ipv4Address address{};
  std::copy_n(bytes, address.size(), address.begin());
  ::freeaddrinfo(found);
  return address;
}

}  // namespace

std::optional<Ipv4Address> LookUpIpv4(const std::string& name, Deadline deadline,
                                      const CancelSignal& cancel) {
  if (cancel.Cancelled()) return std::nullopt;
  auto lookup = std::make_shared<Lookup>();
  std::thread([lookup, name] {
    lookup->address = FirstIpv4(name);
    ::SetEvent(lookup->done);
  }).detach();
  const HANDLE events[2] = {lookup->done, cancel.native().event};
  for (;;) {
    const DWORD result = ::WaitForMultipleObjects(2, events, FALSE, WaitMilliseconds(deadline));
    if (result == WAIT_OBJECT_0) return lookup->address;
    if (result == WAIT_TIMEOUT && std::chrono::steady_clock::now() < deadline) continue;
    return std::nullopt;
  }
}

}  // namespace platform
