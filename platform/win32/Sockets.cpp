#include <winsock2.h>

#include <stdexcept>
#include <string>

#include "Platform.h"

namespace platform {

void StartSocketLayer() {
  WSADATA data{};
  const int failed = ::WSAStartup(MAKEWORD(2, 2), &data);
  if (failed != 0) throw std::runtime_error("WSAStartup failed: error " + std::to_string(failed));
}

void StopSocketLayer() { ::WSACleanup(); }

}  // namespace platform
