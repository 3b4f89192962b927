// Waiting in tests: on a condition, with a deadline, never for a fixed time.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "TempDir.h"

namespace testsupport {

// Looks at the condition every few milliseconds until it holds or the limit has passed;
// whether it held.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// The file's bytes once it exists ("<missing>" when it did not come in time).
inline std::string WaitForFile(const std::string& path,
                               std::chrono::milliseconds limit = std::chrono::seconds(20)) {
  WaitUntil([&] { return std::filesystem::exists(path); }, limit);
  return ReadFile(path);
}

}  // namespace testsupport
