// The simulator's server under load: many clients at once, every request logged and answered,
// clients that send nothing or drip never hold up the others, and the server's threads and
// descriptors are given back as connections end, while it goes on running.
#include "Reply.h"
#include "Server.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "Connection.h"
#include "ProcessUsage.h"
#include "ServerLink.h"
#include "WaitUntil.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::size_t OpenDescriptors() { return testsupport::OwnUsage().descriptors; }
std::size_t Threads() { return testsupport::OwnUsage().threads; }
long ResidentKib() { return testsupport::OwnUsage().residentKib; }

using testsupport::WaitUntil;

// A log stream that several server threads write into, read while they do.
class SharedLog : public std::stringbuf {
 public:
  std::string Text() {
    std::lock_guard lock(mutex_);
    return str();
  }

 protected:
  int sync() override { return 0; }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    std::lock_guard lock(mutex_);
    return std::stringbuf::xsputn(s, n);
  }
  int_type overflow(int_type c) override {
    std::lock_guard lock(mutex_);
    return std::stringbuf::overflow(c);
  }

 private:
  std::recursive_mutex mutex_;  // the base's xsputn calls overflow
};

class Running {
 public:
  Running()
      : out_(&log_),
        server_(
            "127.0.0.1", 0, [](const std::string& request) { return "Svar;" + request; }, out_),
        thread_([this] { server_.Run(); }) {}
  ~Running() {
    server_.Stop();
    thread_.join();
  }
  int Port() const { return server_.Port(); }
  std::string Log() { return log_.Text(); }
  client::ServerLink Link() const {
    client::ServerLink link;
    link.SetHost("127.0.0.1");
    link.SetPort(std::to_string(Port()));
    link.SetLimits({2000ms, 10000ms, 1024});
    return link;
  }

 private:
  SharedLog log_;
  std::ostream out_;
  dncsim::Server server_;
  std::thread thread_;
};

// Runs `calls` requests from each of `clients` threads that start together; the replies that
// were wrong.
int RunClients(const Running& server, int clients, int calls, const std::string& name = "Status") {
  std::atomic<int> wrong{0};
  std::atomic<int> ready{0};
  std::vector<std::thread> threads;
  for (int c = 0; c < clients; ++c) {
    threads.emplace_back([&, c] {
      const client::ServerLink link = server.Link();
      ++ready;
      while (ready < clients) std::this_thread::yield();  // all at once
      for (int i = 0; i < calls; ++i) {
        const std::string request = name + ";" + std::to_string(c) + "-" + std::to_string(i);
        if (testsupport::Reply(link, request) != "Svar;" + request) ++wrong;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  return wrong;
}

TEST(SimulatorServer, TwoHundredClientsTenThousandRequests) {
  const std::size_t descriptors = OpenDescriptors();
  const std::size_t threads = Threads();
  {
    Running server;
    ASSERT_EQ(RunClients(server, 200, 5, "Knapper"),
              0);  // warms the allocator and the thread stacks
    const long memory = ResidentKib();
    ASSERT_EQ(RunClients(server, 200, 50), 0);

    // Every request in the log, once.
    std::istringstream log(server.Log());
    std::multiset<std::string> logged;
    for (std::string line; std::getline(log, line);) {
      const auto open = line.find(" \"Status;");
      if (open != std::string::npos)
        logged.insert(line.substr(open + 2, line.find('"', open + 2) - open - 2));
    }
    int missing = 0;
    for (int c = 0; c < 200; ++c) {
      for (int i = 0; i < 50; ++i) {
        missing +=
            logged.count("Status;" + std::to_string(c) + "-" + std::to_string(i)) == 1 ? 0 : 1;
      }
    }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(logged.size(), 200u * 50u);
    if (testsupport::kResidentSizeShowsGrowth) {
      EXPECT_LT(ResidentKib() - memory, 16 * 1024) << "KiB more after 10 000 requests";
    }

    // While it keeps running, the connections' threads and descriptors are given back.
    EXPECT_TRUE(WaitUntil([&] { return Threads() == threads + 1; }))
        << Threads() - threads << " threads";
    EXPECT_EQ(OpenDescriptors(), descriptors + 2);  // the listener and the stop signal
  }
  EXPECT_EQ(Threads(), threads);
  EXPECT_EQ(OpenDescriptors(), descriptors);
}

// Clients that connect and send nothing, or one byte a second, hold only their own thread:
// hundreds of other requests are answered while they are still connected.
TEST(SimulatorServer, SilentAndDrippingClientsHoldUpNobody) {
  Running server;
  std::vector<std::unique_ptr<platform::TcpConnection>> idle;
  platform::CancelSignal never;
  for (int i = 0; i < 70; ++i) {  // more than the 64 the server once joined at a time
    idle.push_back(std::make_unique<platform::TcpConnection>());
    ASSERT_EQ(idle.back()->Connect({127, 0, 0, 1}, static_cast<std::uint16_t>(server.Port()),
                                   Clock::now() + 2s, never),
              platform::WaitEnd::Ready);
  }
  std::atomic<bool> dripping{true};
  std::thread dripper([&] {
    // Every other idle client sends a byte now and then, never a whole line.
    while (dripping) {
      for (std::size_t i = 0; i < idle.size(); i += 2) {
        (void)idle[i]->Send("S", Clock::now() + 100ms, never);
      }
      std::this_thread::sleep_for(200ms);
    }
  });
  const int wrong = RunClients(server, 20, 20);
  dripping = false;
  dripper.join();
  EXPECT_EQ(wrong, 0);
  // Every idle client is still connected, so nothing above waited for one of them to go; they
  // are dropped at their request deadline.
  std::size_t seen = 0;
  char byte = 0;
  for (auto& connection : idle) {
    EXPECT_EQ(connection->Receive(&byte, 1, seen, Clock::now(), never),
              platform::WaitEnd::TimedOut);
  }
  for (auto& connection : idle) {
    ASSERT_EQ(connection->Receive(&byte, 1, seen, Clock::now() + 10s, never),
              platform::WaitEnd::Ready);
    EXPECT_EQ(seen, 0u) << "dropped without a reply";
  }
}

}  // namespace
