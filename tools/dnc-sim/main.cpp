// dnc-sim: a small DNC server for the Orvi-Vedo line protocol, for demonstrations and tests.
#include <pthread.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

#include "Dnc.h"
#include "Machines.h"
#include "Server.h"

namespace {

dncsim::Server* running = nullptr;

void StopOnSignal(int) {
  if (running != nullptr) running->Stop();
}

constexpr const char* kUsage =
    "usage: dnc-sim [--host 127.0.0.1] [--port 50000] [--config FILE] [--data DIR]\n"
    "               [--speed FACTOR] [--log FILE]\n"
    "  --port 0    listen on a free port; the port is printed on the first line\n"
    "  --config    machines from an INI file ([Maskiner] Antall=, [MaskinN] Navn=, Knapper=,\n"
    "              Protokoll=, Baud=, Katalog=); without it four built-in machines\n"
    "  --data      folder of the machines' program directories (default ./dnc-sim-data)\n"
    "  --speed     time factor: 10 runs transfers ten times as fast\n"
    "  --log       log file instead of standard error\n"
    "SIGUSR1 halts every transfer where it stands (the count stops, the status stays); the next\n"
    "SIGUSR1 lets them go on.\n";

struct Options {
  std::string host = "127.0.0.1";
  int port = 50000;
  std::string config;
  std::string data = "dnc-sim-data";
  double speed = 1.0;
  std::string log;
};

bool Parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--help" || option == "-h" || i + 1 >= argc) return false;
    const std::string value = argv[++i];
    try {
      if (option == "--host")
        options.host = value;
      else if (option == "--port")
        options.port = std::stoi(value);
      else if (option == "--config")
        options.config = value;
      else if (option == "--data")
        options.data = value;
      else if (option == "--speed")
        options.speed = std::stod(value);
      else if (option == "--log")
        options.log = value;
      else
        return false;
    } catch (const std::exception&) {
      return false;
    }
  }
  return options.port >= 0 && options.port <= 65535 && options.speed > 0;
}

// SIGUSR1 toggles the pause of the transfers. The signal is taken by a thread of its own with
// sigwait, so the toggle may lock like any other call.
class PauseSignal {
 public:
  // Call before any other thread starts, so that every thread inherits the blocked signal.
  explicit PauseSignal(dncsim::Dnc& dnc) {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    thread_ = std::thread([this, &dnc, signals] {
      int signal = 0;
      while (sigwait(&signals, &signal) == 0 && !stopping_) {
        std::cout << (dnc.TogglePause() ? "dnc-sim: transfers halted" : "dnc-sim: transfers go on")
                  << std::endl;
      }
    });
  }
  ~PauseSignal() {
    stopping_ = true;
    pthread_kill(thread_.native_handle(), SIGUSR1);
    thread_.join();
  }
  PauseSignal(const PauseSignal&) = delete;
  PauseSignal& operator=(const PauseSignal&) = delete;

 private:
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!Parse(argc, argv, options)) {
    std::cerr << kUsage;
    return 2;
  }
  auto machines = options.config.empty() ? dncsim::DefaultMachines(options.data)
                                         : dncsim::MachinesFromIni(options.config, options.data);
  if (machines.empty()) {
    std::cerr << "dnc-sim: no machines in " << options.config << "\n";
    return 2;
  }
  std::ofstream logFile;
  if (!options.log.empty()) logFile.open(options.log, std::ios::app);
  std::ostream& log = options.log.empty() ? std::cerr : logFile;
  try {
    dncsim::PrepareDirectories(machines);
    dncsim::Dnc dnc(machines, options.speed);
    PauseSignal pauseSignal(dnc);
    dncsim::Server server(
        options.host, options.port,
        [&dnc](const std::string& request) { return dnc.Answer(request); }, log);
    running = &server;
    std::signal(SIGINT, StopOnSignal);
    std::signal(SIGTERM, StopOnSignal);
    std::signal(SIGPIPE, SIG_IGN);
    std::cout << "dnc-sim listening on " << options.host << ":" << server.Port() << std::endl;
    server.Run();
    running = nullptr;
  } catch (const std::exception& failure) {
    std::cerr << "dnc-sim: " << failure.what() << "\n";
    return 1;
  }
  std::cout << "dnc-sim stopped" << std::endl;
  return 0;
}
