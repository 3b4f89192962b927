// One call that nobody cancels, as the text the window would show.
#pragma once

#include <string>

#include "Connection.h"
#include "ServerLink.h"

namespace testsupport {

inline std::string Reply(const client::ServerLink& link, const std::string& request) {
  const platform::CancelSignal never;
  return link.ReplyText(link.Exchange(request, never));
}

}  // namespace testsupport
