// The parameter split of the program launch: an argument list joined by the launch rules splits
// back into itself, whether it came from a split or from anywhere else.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ArgumentSplit.h"
#include "Require.h"

using platform::posix::JoinWindowsArguments;
using platform::posix::SplitWindowsArguments;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  const std::vector<std::string> split = SplitWindowsArguments(text);
  VEDO_REQUIRE(SplitWindowsArguments(JoinWindowsArguments(split)) == split);

  // Any arguments at all, here separated by zero bytes, empty ones included.
  std::vector<std::string> arguments;
  if (!text.empty()) {
    std::size_t begin = 0;
    for (std::size_t end; (end = text.find('\0', begin)) != std::string::npos; begin = end + 1) {
      arguments.push_back(text.substr(begin, end - begin));
    }
    arguments.push_back(text.substr(begin));
  }
  VEDO_REQUIRE(SplitWindowsArguments(JoinWindowsArguments(arguments)) == arguments);
  return 0;
}
