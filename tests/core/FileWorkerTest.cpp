#include "FileWorker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

TEST(FileWorker, RunsTheJobsInOrderOffTheCallersThread) {
  client::FileWorker files;
  std::mutex mutex;
  std::vector<int> order;
  std::vector<std::thread::id> threads;
  for (int i = 0; i < 5; ++i) {
    files.Post([&, i] {
      std::lock_guard lock(mutex);
      order.push_back(i);
      threads.push_back(std::this_thread::get_id());
    });
  }
  ASSERT_TRUE(files.Drain(10s));
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
  for (const auto& thread : threads) EXPECT_NE(thread, std::this_thread::get_id());
}

// A job stuck on a dead share: the worker's end does not wait for it, and what waited behind
// it never runs on a worker that is gone.
TEST(FileWorker, AHungJobIsLeftBehindAtTheEnd) {
  std::promise<void> release;
  const std::shared_future<void> released = release.get_future().share();
  auto ranBehind = std::make_shared<std::atomic<bool>>(false);
  {
    client::FileWorker files(50ms);
    files.Post([released] { released.wait(); });
    files.Post([ranBehind] { *ranBehind = true; });
    EXPECT_FALSE(files.Drain(20ms));
  }
  EXPECT_FALSE(*ranBehind) << "the end came while the first job still hung";
  release.set_value();  // the abandoned thread finishes on its own
}

}  // namespace
