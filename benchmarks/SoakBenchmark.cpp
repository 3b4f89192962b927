// A soak of the client's exchange: 10 000 calls in a row against a server whose replies vary
// (answered, bytes left unread, closed before a byte, a line past the cap), with the process's
// descriptors and resident memory before and after as counters. Run by hand:
//   build/release/benchmarks/exchange_benchmark --benchmark_filter=Soak
#include <benchmark/benchmark.h>

#include <atomic>

#include "ProcessUsage.h"
#include "Reply.h"
#include "ScriptedServer.h"
#include "ServerLink.h"

namespace {

using testsupport::ScriptedReply;

double OpenDescriptors() { return static_cast<double>(testsupport::OwnUsage().descriptors); }
double ResidentKib() { return static_cast<double>(testsupport::OwnUsage().residentKib); }

void BM_ExchangeSoak(benchmark::State& state) {
  std::atomic<long> served{0};
  testsupport::ScriptedServer server([&](const std::string&) {
    switch (served++ % 4) {
      case 0:
        return ScriptedReply::Line("Fres 1;P100.NC;Sender;;1234;;0");
      case 1:
        return ScriptedReply::Bytes("OK\r\n" + std::string(3000, 'x'));
      case 2:
        return ScriptedReply{{}, false, true};
      default:
        return ScriptedReply::Line(std::string(2048, 'l'));
    }
  });
  client::ServerLink link;
  link.SetHost("127.0.0.1");
  link.SetPort(std::to_string(server.Port()));
  link.SetLimits({std::chrono::milliseconds(3000), std::chrono::milliseconds(5000), 1024});
  const long calls = state.range(0);
  for (int i = 0; i < 100; ++i)
    testsupport::Reply(link, "Status;1");  // the allocator and the server settle
  const double descriptorsBefore = OpenDescriptors();
  const double memoryBefore = ResidentKib();
  long wrong = 0;
  for (auto _ : state) {
    for (long i = 0; i < calls; ++i) {
      const std::string reply = testsupport::Reply(link, "Status;1");
      if (reply == link.NoContactReply() || reply == link.NoAnswerReply()) ++wrong;
    }
  }
  state.counters["calls"] = static_cast<double>(calls);
  state.counters["unreached"] = static_cast<double>(wrong);
  state.counters["fd_before"] = descriptorsBefore;
  state.counters["fd_after"] = OpenDescriptors();
  state.counters["rss_kib_before"] = memoryBefore;
  state.counters["rss_kib_after"] = ResidentKib();
  state.counters["calls_per_s"] =
      benchmark::Counter(static_cast<double>(calls), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_ExchangeSoak)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
