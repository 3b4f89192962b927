// How a Windows program splits its command line into arguments (the rules of the Visual C++
// 2008 and later runtimes), used to turn a ShellExecute parameter text into an argv, and the
// way back: a parameter text built from an argv.
#pragma once

#include <string>
#include <vector>

namespace platform::posix {

std::vector<std::string> SplitWindowsArguments(const std::string& parameters);

// The parameter text that splits back into exactly these arguments, by the rules above and by
// those of CommandLineToArgvW alike: an argument that is empty or holds a blank or a quote is
// quoted, each quote is written as \", and backslashes before a quote are doubled.
std::string JoinWindowsArguments(const std::vector<std::string>& arguments);

}  // namespace platform::posix
