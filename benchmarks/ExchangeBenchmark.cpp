// What one server request costs: the client's exchange, directly and through the call thread,
// against a raw blocking client (connect, write, read, close) on the same loopback server in the
// same run, for a numeric host and for a host name; and one settings read. The run ends with the
// ratios to the raw client. Run by hand:
//   build/release/benchmarks/exchange_benchmark
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "CallWorker.h"
#include "Connection.h"
#include "Platform.h"
#include "ScriptedServer.h"
#include "ServerLink.h"
#include "TempDir.h"

namespace {

const char* const kRequest = "Status;1";

testsupport::ScriptedServer& Server() {
  static testsupport::ScriptedServer server(
      std::map<std::string, std::string>{{kRequest, "M;P;;;0;;0"}});
  return server;
}

std::string HostOf(const benchmark::State& state) {
  return state.range(0) == 0 ? "127.0.0.1" : "localhost";
}

client::ServerLink Link(const benchmark::State& state) {
  client::ServerLink link;
  link.SetHost(HostOf(state));
  link.SetPort(std::to_string(Server().Port()));
  return link;
}

// The plain blocking client: the address (a numeric host as it is, a name looked up), connect,
// write, read the line, close.
std::string RawCall(const std::string& host, int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) return {};
    address.sin_addr = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    ::freeaddrinfo(found);
  }
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  std::string reply;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
    const std::string line = std::string(kRequest) + "\r\n";
    if (::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size())) {
      char buffer[512];
      while (reply.find("\r\n") == std::string::npos) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0) break;
        reply.append(buffer, static_cast<std::size_t>(got));
      }
    }
  }
  ::close(fd);
  return reply.substr(0, reply.find("\r\n"));
}

void BM_RawClient(benchmark::State& state) {
  const std::string host = HostOf(state);
  for (auto _ : state) benchmark::DoNotOptimize(RawCall(host, Server().Port()));
}

void BM_Exchange(benchmark::State& state) {
  const client::ServerLink link = Link(state);
  const platform::CancelSignal never;
  for (auto _ : state) benchmark::DoNotOptimize(link.Exchange(kRequest, never));
}

void BM_CallThread(benchmark::State& state) {
  const client::ServerLink link = Link(state);
  client::CallWorker worker;
  std::mutex mutex;
  std::condition_variable ended;
  for (auto _ : state) {
    bool done = false;
    worker.Submit(link, kRequest, [&](const client::CallResult&) {
      std::lock_guard lock(mutex);
      done = true;
      ended.notify_one();
    });
    std::unique_lock lock(mutex);
    ended.wait(lock, [&] { return done; });
  }
}

void BM_ReadProfileString(benchmark::State& state) {
  testsupport::TempDir dir;
  std::string content;
  for (int section = 0; section < 20; ++section) {
    content += "[Section" + std::to_string(section) + "]\r\n";
    for (int key = 0; key < 10; ++key) {
      content += "Key" + std::to_string(key) + "=value " + std::to_string(key) + "\r\n";
    }
  }
  const std::string file = dir.Write("Vedo.ini", content + "[VedoTcp]\r\nVedoIP=10.0.0.5\r\n");
  for (auto _ : state) {
    benchmark::DoNotOptimize(platform::GetProfileString("VedoTcp", "VedoIP", "", 4096, file));
  }
}

// Range 0: the numeric host; 1: the host name.
BENCHMARK(BM_RawClient)->Arg(0)->Arg(1);
BENCHMARK(BM_Exchange)->Arg(0)->Arg(1);
BENCHMARK(BM_CallThread)->Arg(0)->Arg(1);
BENCHMARK(BM_ReadProfileString);

// Keeps each benchmark's median time per call (its only time when it ran once), besides the
// usual table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const std::string name = run.run_name.str();
      if (run.run_type == Run::RT_Iteration) {
        medians_.emplace(name, run.GetAdjustedRealTime());
      } else if (run.aggregate_name == "median") {
        medians_[name] = run.GetAdjustedRealTime();
      }
    }
  }
  std::optional<double> Median(const std::string& name) const {
    const auto found = medians_.find(name);
    if (found == medians_.end()) return std::nullopt;
    return found->second;
  }

 private:
  std::map<std::string, double> medians_;
};

// The ways are compared on repetitions taken in random order, so that a machine that gets
// busier or quieter during the run weighs on every way alike. Later arguments override these.
std::vector<char*> WithRepetitions(int argc, char** argv) {
  static char repetitions[] = "--benchmark_repetitions=9";
  static char interleaving[] = "--benchmark_enable_random_interleaving=true";
  static char aggregates[] = "--benchmark_report_aggregates_only=true";
  std::vector<char*> arguments{argv[0], repetitions, interleaving, aggregates};
  arguments.insert(arguments.end(), argv + 1, argv + argc);
  arguments.push_back(nullptr);
  return arguments;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> arguments = WithRepetitions(argc, argv);
  int count = static_cast<int>(arguments.size()) - 1;
  benchmark::Initialize(&count, arguments.data());
  if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) return 1;
  platform::StartSocketLayer();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const char* host : {"0", "1"}) {
    const auto raw = reporter.Median(std::string("BM_RawClient/") + host);
    if (!raw) continue;
    for (const char* way : {"BM_Exchange/", "BM_CallThread/"}) {
      const std::string name = way + std::string(host);
      const auto mine = reporter.Median(name);
      if (!mine) continue;
      std::printf("%-16s %-10s %.2f x the raw client (medians)\n", name.c_str(),
                  host[0] == '0' ? "127.0.0.1" : "localhost", *mine / *raw);
    }
  }
  benchmark::Shutdown();
  platform::StopSocketLayer();
  return 0;
}
