// dnc-load: many clients at once against a DNC server on this machine, bounded in count and
// time; prints the requests per second and the latency of one request (50th, 99th percentile,
// worst). Only loopback addresses are accepted: it is a tool for the simulator, not for a shop
// floor's server.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "Connection.h"
#include "ServerLink.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kUsage =
    "usage: dnc-load --server 127.0.0.1:PORT [--clients 200] [--requests 10000]\n"
    "                [--max-seconds 60] [--request Status;1]\n"
    "  at most 1000 clients, 1000000 requests and 600 seconds; loopback addresses only\n";

struct Options {
  std::string server;
  int clients = 200;
  long requests = 10000;
  int maxSeconds = 60;
  std::string request = "Status;1";
};

bool Parse(int argc, char** argv, Options& options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    const std::string value = argv[i + 1];
    try {
      if (option == "--server")
        options.server = value;
      else if (option == "--clients")
        options.clients = std::stoi(value);
      else if (option == "--requests")
        options.requests = std::stol(value);
      else if (option == "--max-seconds")
        options.maxSeconds = std::stoi(value);
      else if (option == "--request")
        options.request = value;
      else
        return false;
    } catch (const std::exception&) {
      return false;
    }
  }
  if (argc % 2 == 0) return false;
  const auto host = platform::ParseIpv4(options.server.substr(0, options.server.find(':')));
  return host && (*host)[0] == 127 && options.server.find(':') != std::string::npos &&
         options.clients >= 1 && options.clients <= 1000 && options.requests >= 1 &&
         options.requests <= 1000000 && options.maxSeconds >= 1 && options.maxSeconds <= 600;
}

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!Parse(argc, argv, options)) {
    std::cerr << kUsage;
    return 2;
  }
  const auto start = Clock::now();
  const auto stopAt = start + std::chrono::seconds(options.maxSeconds);
  std::atomic<long> next{0};
  std::atomic<long> failed{0};
  std::vector<std::vector<Clock::duration>> latencies(options.clients);
  std::vector<std::thread> clients;
  for (int c = 0; c < options.clients; ++c) {
    clients.emplace_back([&, c] {
      client::ServerLink link;
      link.SetAddress(options.server);
      while (next++ < options.requests && Clock::now() < stopAt) {
        const auto sent = Clock::now();
        platform::CancelSignal never;
        const client::CallResult result = link.Exchange(options.request, never);
        latencies[c].push_back(Clock::now() - sent);
        if (result.outcome != client::CallOutcome::Answered) ++failed;
      }
    });
  }
  for (auto& thread : clients) thread.join();
  const auto took = Clock::now() - start;

  std::vector<Clock::duration> all;
  for (const auto& own : latencies) all.insert(all.end(), own.begin(), own.end());
  std::sort(all.begin(), all.end());
  const auto at = [&](double share) {
    return all[std::min(all.size() - 1, static_cast<std::size_t>(share * all.size()))];
  };
  std::printf("requests %zu, failed %ld, clients %d, %.2f s\n", all.size(), failed.load(),
              options.clients, std::chrono::duration<double>(took).count());
  std::printf("requests per second %.0f\n",
              static_cast<double>(all.size()) / std::chrono::duration<double>(took).count());
  std::printf("latency ms: p50 %.2f, p99 %.2f, worst %.2f\n", Milliseconds(at(0.50)),
              Milliseconds(at(0.99)), Milliseconds(all.back()));
  return failed == 0 && static_cast<long>(all.size()) == options.requests ? 0 : 1;
}
