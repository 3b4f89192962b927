// The cancel signal's event object and the wait bound of a deadline, for the Winsock waits.
#pragma once

#include <windows.h>

#include "Connection.h"

namespace platform {

struct CancelSignal::Native {
  HANDLE event;  // manual-reset: stays set until Reset
};

// The time to the deadline in whole milliseconds, rounded up; INFINITE for kNoDeadline.
DWORD WaitMilliseconds(Deadline deadline);

}  // namespace platform
