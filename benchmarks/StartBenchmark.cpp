// The client's start, from the program's launch to its first status request, against a bare Qt
// window that makes the same request (bare_window), both offscreen against the same loopback
// server, started in turn; the medians of several starts of each, and the median of the ratios of
// the starts taken side by side, which a machine that gets busier or quieter during the run moves
// least. Run by hand:
//   build/release/benchmarks/start_benchmark [starts]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Programs.h"
#include "ScriptedServer.h"
#include "TempDir.h"

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

// A server that notes when the first status request comes.
class StatusClock {
 public:
  StatusClock()
      : server_([this](const std::string& request) {
          if (request.rfind("Status;", 0) == 0) {
            std::lock_guard lock(mutex_);
            if (!seen_) seen_ = Clock::now();
          }
          return testsupport::ScriptedReply::Line(request.rfind("Knapper;", 0) == 0
                                                      ? ";SEND;HENT;RESTART;"
                                                      : "Fres 1;P1.NC;Klar;;0;;0");
        }) {}

  int Port() const { return server_.Port(); }

  // The time from `start` to the first status request since the last call.
  std::optional<Milliseconds> Since(Clock::time_point start) {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
      {
        std::lock_guard lock(mutex_);
        if (seen_) {
          const Milliseconds span = *seen_ - start;
          seen_.reset();
          return span;
        }
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return std::nullopt;
  }

 private:
  std::mutex mutex_;
  std::optional<Clock::time_point> seen_;
  testsupport::ScriptedServer server_;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int starts = argc > 1 ? std::atoi(argv[1]) : 31;
  StatusClock clock;
  testsupport::TempDir dir;
  e2e::WriteClientSettings(
      dir, "[VedoTcp]\r\nVedoIP=127.0.0.1:" + std::to_string(clock.Port()) + "\r\n");
  std::vector<double> client, bare, ratios;
  for (int i = 0; i < starts; ++i) {
    auto start = Clock::now();
    pid_t pid = e2e::StartClient(dir, {});
    const auto clientSpan = clock.Since(start);
    testsupport::Stop(pid);

    start = Clock::now();
    pid = testsupport::Spawn({BARE_WINDOW, std::to_string(clock.Port())},
                             {"QT_QPA_PLATFORM=offscreen"});
    const auto bareSpan = clock.Since(start);
    testsupport::Stop(pid);

    if (clientSpan) client.push_back(clientSpan->count());
    if (bareSpan) bare.push_back(bareSpan->count());
    if (clientSpan && bareSpan) ratios.push_back(*clientSpan / *bareSpan);
  }
  const double clientMedian = Median(client), bareMedian = Median(bare);
  std::printf("VedoTcp to its first status request:     %6.1f ms (median of %zu)\n", clientMedian,
              client.size());
  std::printf("bare Qt window to the same request:      %6.1f ms (median of %zu)\n", bareMedian,
              bare.size());
  std::printf("ratio of the medians:                    %6.2f\n", clientMedian / bareMedian);
  std::printf("median of the side-by-side ratios:       %6.2f\n", Median(ratios));
  return 0;
}
