#include <windows.h>

#include <chrono>
#include <stdexcept>
#include <string>

#include "CancelNative.h"

namespace platform {

CancelSignal::CancelSignal() : native_(std::make_unique<Native>()) {
  native_->event = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (native_->event == nullptr) {
    throw std::runtime_error("CreateEvent failed: error " + std::to_string(::GetLastError()));
  }
}

CancelSignal::~CancelSignal() { ::CloseHandle(native_->event); }

void CancelSignal::Cancel() { ::SetEvent(native_->event); }

void CancelSignal::Reset() { ::ResetEvent(native_->event); }

bool CancelSignal::Cancelled() const {
  return ::WaitForSingleObject(native_->event, 0) == WAIT_OBJECT_0;
}

DWORD WaitMilliseconds(Deadline deadline) {
  if (deadline == kNoDeadline) return INFINITE;
  const auto now = std::chrono::steady_clock::now();
  if (deadline <= now) return 0;
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
  // INFINITE itself is 0xFFFFFFFF; a far deadline waits as long as a wait can, then again.
  return static_cast<DWORD>(std::min<long long>(left, INFINITE - 1));
}

}  // namespace platform
