// The command word of a command text ("Send;3;P1.NC"), as the dispatcher reads it: the first
// field in capitals of the letters a to z only.
#pragma once

#include <string>

#include "ServerLink.h"

namespace client {

inline std::string CommandWord(const std::string& command) {
  std::string rest = command;
  std::string word = NextField(rest);
  for (char& c : word) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return word;
}

}  // namespace client
