#include <csignal>

#include "Platform.h"

namespace platform {

// A server that closes early must not end the program with SIGPIPE.
void StartSocketLayer() { std::signal(SIGPIPE, SIG_IGN); }

void StopSocketLayer() {}

}  // namespace platform
