// Name lookup within a deadline, on glibc's asynchronous getaddrinfo: a name server that does
// not answer must not hold a call any longer than a host that does not.
#include <netdb.h>
#include <netinet/in.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

#include "CancelNative.h"

namespace platform {
namespace {

// How often a wait for a lookup looks at its cancel signal.
constexpr auto kCancelSlice = std::chrono::milliseconds(20);

// Lookups given up by their call while still under way; freed once they have ended.
class AbandonedLookups {
 public:
  struct Entry {
    std::unique_ptr<gaicb> request;
    std::unique_ptr<addrinfo> hints;
    std::unique_ptr<std::string> name;
  };
  void Add(Entry entry) {
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(entry));
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
  std::mutex mutex_;
  std::vector<Entry> entries_;
};

// Never destroyed: a lookup thread may still write into an entry while the program exits.
AbandonedLookups& Abandoned() {
  static auto* lookups = new AbandonedLookups;
  return *lookups;
}

}  // namespace

std::optional<Ipv4Address> LookUpIpv4(const std::string& name, Deadline deadline,
                                      const CancelSignal& cancel) {
  Abandoned().Reap();
  if (cancel.Cancelled()) return std::nullopt;
  AbandonedLookups::Entry lookup{std::make_unique<gaicb>(), std::make_unique<addrinfo>(),
                                 std::make_unique<std::string>(name)};
  lookup.hints->ai_family = AF_INET;
  lookup.hints->ai_socktype = SOCK_STREAM;
  lookup.request->ar_name = lookup.name->c_str();
  lookup.request->ar_request = lookup.hints.get();
  gaicb* list[] = {lookup.request.get()};
  if (::getaddrinfo_a(GAI_NOWAIT, list, 1, nullptr) != 0) return std::nullopt;
  while (::gai_error(lookup.request.get()) == EAI_INPROGRESS) {
    const auto now = std::chrono::steady_clock::now();
    if (cancel.Cancelled() || now >= deadline) {
      if (::gai_cancel(lookup.request.get()) != EAI_CANCELED) Abandoned().Add(std::move(lookup));
      return std::nullopt;
    }
    const auto slice = std::min<std::chrono::nanoseconds>(deadline - now, kCancelSlice);
    const timespec wait{static_cast<time_t>(slice.count() / 1000000000),
                        static_cast<long>(slice.count() % 1000000000)};
    ::gai_suspend(list, 1, &wait);
  }
  std::optional<Ipv4Address> address;
  addrinfo* result = lookup.request->ar_result;
  if (::gai_error(lookup.request.get()) == 0 && result != nullptr) {
    const auto& ipv4 = reinterpret_cast<const sockaddr_in*>(result->ai_addr)->sin_addr;
    Ipv4Address bytes{};
    std::copy_n(reinterpret_cast<const std::uint8_t*>(&ipv4), bytes.size(), bytes.begin());
    address = bytes;
  }
  if (result != nullptr) ::freeaddrinfo(result);
  return address;
}

}  // namespace platform
