#include "ArgumentSplit.h"

namespace platform::posix {

std::vector<std::string> SplitWindowsArguments(const std::string& parameters) {
  std::vector<std::string> arguments;
  std::string current;
  bool inArgument = false;  // an argument has begun, even an empty quoted one
  bool quoted = false;
  std::size_t i = 0;
  while (i < parameters.size()) {
    const char c = parameters[i];
    if (!quoted && (c == ' ' || c == '\t')) {
      if (inArgument) arguments.push_back(current);
      current.clear();
      inArgument = false;
      ++i;
      continue;
    }
    inArgument = true;
    if (c == '\\') {
      std::size_t count = 0;
      while (i < parameters.size() && parameters[i] == '\\') {
        ++count;
        ++i;
      }
      if (i < parameters.size() && parameters[i] == '"') {
        current.append(count / 2, '\\');
        if (count % 2 == 1) {
          current += '"';
          ++i;
        }
      } else {
        current.append(count, '\\');
      }
      continue;
    }
    if (c == '"') {
      if (!quoted) {
        quoted = true;
      } else if (i + 1 < parameters.size() && parameters[i + 1] == '"') {
        current += '"';  // a doubled quote inside quotes stands for one and stays quoted
        ++i;
      } else {
        quoted = false;
      }
      ++i;
      continue;
    }
    current += c;
    ++i;
  }
  if (inArgument) arguments.push_back(current);
  return arguments;
}

std::string JoinWindowsArguments(const std::vector<std::string>& arguments) {
  std::string parameters;
  for (const std::string& argument : arguments) {
    if (!parameters.empty()) parameters += ' ';
    const bool quote = argument.empty() || argument.find_first_of(" \t\"") != std::string::npos;
    if (quote) parameters += '"';
    std::size_t backslashes = 0;
    for (const char c : argument) {
      if (c == '\\') {
        ++backslashes;
      } else {
        // Backslashes before a quote are doubled, and the quote itself escaped.
        if (c == '"') parameters.append(backslashes + 1, '\\');
        backslashes = 0;
      }
      parameters += c;
    }
    if (quote) {
      parameters.append(backslashes, '\\');  // so that the closing quote stays a quote
      parameters += '"';
    }
  }
  return parameters;
}

}  // namespace platform::posix
