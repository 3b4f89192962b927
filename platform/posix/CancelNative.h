// The POSIX form of a cancel signal, and the one wait that every socket operation makes.
#pragma once

#include <atomic>

#include "Connection.h"

namespace platform {

struct CancelSignal::Native {
  int fd = -1;  // an eventfd, readable once the signal is set
  std::atomic<bool> set{false};
};

// Milliseconds until the deadline for poll: 0 when it has passed, -1 for no deadline.
int PollTimeout(Deadline deadline);

// Waits until the descriptor shows one of the events, the deadline passes or the signal is set.
// When it ends Ready, `shown` (if given) holds what the descriptor showed, errors included.
WaitEnd WaitForEvents(int fd, short events, Deadline deadline, const CancelSignal& cancel,
                      short* shown = nullptr);

}  // namespace platform
