// How a Windows program splits its command line into arguments (the rules of the Visual C++
// 2008 and later runtimes), used to turn a ShellExecute parameter text into an argv.
#pragma once

#include <string>
#include <vector>

namespace platform::posix {

std::vector<std::string> SplitWindowsArguments(const std::string& parameters);

}  // namespace platform::posix
