// The addresses of host names looked up lately. Every call would otherwise start a look-up of
// its own, which costs more than the call; an address is kept only while its look-up is fresh,
// so that a server that moves to another address is found again within seconds.
#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "Connection.h"

namespace client {

class RecentAddresses {
 public:
  using Clock = std::chrono::steady_clock;
  // How long a look-up stays fresh.
  static constexpr std::chrono::seconds kFresh{5};

  // The name's address while its look-up is fresh; nothing otherwise.
  std::optional<platform::Ipv4Address> Find(const std::string& name, Clock::time_point now) const;
  // A look-up that found an address; a failed one is not kept, so that the next call tries
  // again.
  void Keep(const std::string& name, const platform::Ipv4Address& address, Clock::time_point now);

 private:
  struct Entry {
    platform::Ipv4Address address;
    Clock::time_point found;
  };
  mutable std::mutex mutex_;  // calls run on several threads
  std::map<std::string, Entry> entries_;
};

}  // namespace client
