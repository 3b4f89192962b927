#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <stdexcept>

#include "CancelNative.h"

namespace platform {

CancelSignal::CancelSignal() : native_(std::make_unique<Native>()) {
  native_->fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  // Without it no wait could be woken: better to fail at once than to hang later.
  if (native_->fd < 0) throw std::runtime_error("cannot create a cancel signal");
}

CancelSignal::~CancelSignal() { ::close(native_->fd); }

void CancelSignal::Cancel() {
  native_->set = true;
  const std::uint64_t one = 1;
  (void)::write(native_->fd, &one, sizeof one);
}

void CancelSignal::Reset() {
  native_->set = false;
  std::uint64_t count = 0;
  (void)::read(native_->fd, &count, sizeof count);
}

bool CancelSignal::Cancelled() const { return native_->set; }

int PollTimeout(Deadline deadline) {
  if (deadline == Deadline::max()) return -1;
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, INT_MAX));
}

}  // namespace platform
