#include "CallWorker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>

#include "LinkTo.h"
#include "ScriptedServer.h"
#include "WaitUntil.h"

namespace {

using namespace std::chrono_literals;
using testsupport::ScriptedReply;

// The worker copies the address with the call: a change of the caller's link afterwards does
// not reach the call under way.
TEST(CallWorker, TheCallKeepsTheAddressItWasGiven) {
  testsupport::ScriptedServer server([](const std::string&) {
    return ScriptedReply{{{"OK\r\n", 300ms}}};
  });
  client::ServerLink link = testsupport::LinkTo(server);
  client::CallWorker worker;
  std::atomic<bool> done{false};
  client::CallResult result;
  worker.Submit(link, "Status;1", [&](const client::CallResult& r) {
    result = r;
    done = true;
  });
  link.SetAddress("127.0.0.1:1");
  ASSERT_TRUE(testsupport::WaitUntil([&] { return done.load(); }));
  EXPECT_EQ(result.outcome, client::CallOutcome::Answered);
  EXPECT_EQ(result.line, "OK");
}

TEST(CallWorker, ACallHandedOverWhileAnotherWaitsIsRefused) {
  testsupport::ScriptedServer server([](const std::string&) {
    return ScriptedReply{{{"OK\r\n", 500ms}}};
  });
  const client::ServerLink link = testsupport::LinkTo(server);
  client::CallWorker worker;
  std::atomic<int> done{0};
  const auto count = [&](const client::CallResult&) { ++done; };
  // The first is taken at once; the second waits behind it; a third finds the second waiting.
  worker.Submit(link, "Status;1", count);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return server.Requests().size() == 1; }));
  worker.Submit(link, "Status;2", count);
  EXPECT_THROW(worker.Submit(link, "Status;3", count), std::logic_error);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return done.load() == 2; }));
  EXPECT_EQ(server.Requests(), (std::vector<std::string>{"Status;1", "Status;2"}));
}

}  // namespace
