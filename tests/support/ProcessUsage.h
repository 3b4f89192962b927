// What a process holds: its open descriptors (handles on Windows), its threads and its
// resident memory (the working set on Windows). For the tests that look for leaks.
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace testsupport {

struct ProcessUsage {
  std::size_t descriptors = 0;
  std::size_t threads = 0;
  long residentKib = 0;
};

ProcessUsage UsageOf(pid_t pid);
ProcessUsage OwnUsage();

// AddressSanitizer keeps freed memory in quarantine and maps shadow memory as it goes: there a
// process's resident size says nothing of a leak (LeakSanitizer watches for those instead).
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kResidentSizeShowsGrowth = false;
#else
inline constexpr bool kResidentSizeShowsGrowth = true;
#endif

}  // namespace testsupport
