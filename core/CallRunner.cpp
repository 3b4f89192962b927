#include "CallRunner.h"

#include "Connection.h"

namespace client {

CallResult DirectCallRunner::Run(const ServerLink& link, const std::string& request) {
  if (cancelled_) return {CallOutcome::Cancelled, {}};
  const platform::CancelSignal never;
  busy_ = true;
  struct Idle {
    bool& busy;
    ~Idle() { busy = false; }
  } idle{busy_};
  return link.Exchange(request, never);
}

void DirectCallRunner::Cancel() { cancelled_ = true; }

}  // namespace client
