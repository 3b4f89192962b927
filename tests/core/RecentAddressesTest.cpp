#include "RecentAddresses.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using client::RecentAddresses;

TEST(RecentAddresses, AnAddressServesOnlyWhileItsLookUpIsFresh) {
  RecentAddresses recent;
  const RecentAddresses::Clock::time_point start{};
  const platform::Ipv4Address first{10, 0, 0, 5}, moved{10, 0, 0, 6};
  recent.Keep("server1", first, start);
  const struct {
    const char* name;
    std::string host;
    std::chrono::milliseconds after;
    std::optional<platform::Ipv4Address> found;
  } rows[] = {
      {"at once", "server1", 0ms, first},
      {"just before it goes stale", "server1", RecentAddresses::kFresh - 1ms, first},
      {"stale: looked up again", "server1", RecentAddresses::kFresh, std::nullopt},
      {"another name", "server2", 0ms, std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(recent.Find(row.host, start + row.after), row.found);
  }
  // A new look-up replaces the old address and starts its freshness anew.
  recent.Keep("server1", moved, start + RecentAddresses::kFresh);
  EXPECT_EQ(recent.Find("server1", start + RecentAddresses::kFresh + 1s), moved);
}

}  // namespace
