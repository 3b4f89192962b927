#include "ProcessUsage.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace testsupport {
namespace {

std::size_t Entries(const std::string& folder) {
  std::error_code error;
  std::size_t count = 0;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    ++count;
  }
  return count;
}

long ResidentKib(const std::string& proc) {
  std::ifstream status(proc + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

ProcessUsage Read(const std::string& proc) {
  return {Entries(proc + "/fd"), Entries(proc + "/task"), ResidentKib(proc)};
}

}  // namespace

ProcessUsage UsageOf(pid_t pid) { return Read("/proc/" + std::to_string(pid)); }

ProcessUsage OwnUsage() { return Read("/proc/self"); }

}  // namespace testsupport
