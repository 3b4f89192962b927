// What one server request and one settings read cost. Run by hand:
//   build/release/benchmarks/exchange_benchmark
#include <benchmark/benchmark.h>

#include "Platform.h"
#include "Reply.h"
#include "ScriptedServer.h"
#include "ServerLink.h"
#include "TempDir.h"

namespace {

// A port of digits is read as a number; "$" + hex must first fail the service lookup.
void CallWithPort(benchmark::State& state, bool digits) {
  testsupport::ScriptedServer server(
      std::map<std::string, std::string>{{"Status;1", "M;P;;;0;;0"}});
  client::ServerLink link;
  link.SetHost("127.0.0.1");
  char hex[16];
  std::snprintf(hex, sizeof hex, "$%X", server.Port());
  link.SetPort(digits ? std::to_string(server.Port()) : std::string(hex));
  for (auto _ : state) benchmark::DoNotOptimize(testsupport::Reply(link, "Status;1"));
}

void BM_ServerCallDigitPort(benchmark::State& state) { CallWithPort(state, true); }
void BM_ServerCallLookedUpPort(benchmark::State& state) { CallWithPort(state, false); }

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

BENCHMARK(BM_ServerCallDigitPort);
BENCHMARK(BM_ServerCallLookedUpPort);
BENCHMARK(BM_ReadProfileString);

}  // namespace

BENCHMARK_MAIN();
