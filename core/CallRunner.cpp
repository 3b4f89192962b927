#include "CallRunner.h"

namespace client {

CallResult DirectCallRunner::Run(const ServerLink& link, const std::string& request) {
  if (cancel_.Cancelled()) return {CallOutcome::Cancelled, {}};
  busy_ = true;
  struct Idle {
    bool& busy;
    ~Idle() { busy = false; }
  } idle{busy_};
  return link.Exchange(request, cancel_);
}

void DirectCallRunner::Cancel() { cancel_.Cancel(); }

}  // namespace client
