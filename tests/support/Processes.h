// Starting and ending the programs that tests run: their environment of their own, their
// output in a file, and never one left running when a test fails.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// Starts a program with environment entries of its own (replacing inherited ones of the same
// name); its standard output and error go to `output` when given, else to /dev/null.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
            const std::string& output = "");
// The exit status, or nothing when it did not end in time (it is then killed).
std::optional<int> WaitForExit(pid_t pid, std::chrono::milliseconds limit);
// Asks the program to end, and kills it when it does not.
void Stop(pid_t pid);

// A started program that is ended with its owner, so that a failed test leaves none behind.
class Child {
 public:
  explicit Child(pid_t pid) : pid_(pid) {}
  ~Child() { Stop(pid_); }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  std::optional<int> WaitForExit(std::chrono::milliseconds limit);

 private:
  pid_t pid_;
};

// Runs a program to its end; its exit status and what it wrote.
struct RunResult {
  int status = -1;
  std::string output;
};
RunResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const std::vector<std::string>& environment);

}  // namespace testsupport
