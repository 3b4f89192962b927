#include "RecentAddresses.h"

namespace client {

std::optional<platform::Ipv4Address> RecentAddresses::Find(const std::string& name,
                                                           Clock::time_point now) const {
  std::lock_guard lock(mutex_);
  const auto found = entries_.find(name);
  if (found == entries_.end() || now - found->second.found >= kFresh) return std::nullopt;
  return found->second.address;
}

void RecentAddresses::Keep(const std::string& name, const platform::Ipv4Address& address,
                           Clock::time_point now) {
  std::lock_guard lock(mutex_);
  // Stale entries go, so that the table holds only the few names in use.
  std::erase_if(entries_, [&](const auto& entry) { return now - entry.second.found >= kFresh; });
  entries_[name] = Entry{address, now};
}

}  // namespace client
