// A link to a scripted test server, with bounds short enough for tests.
#pragma once

#include <chrono>
#include <string>

#include "ScriptedServer.h"
#include "ServerLink.h"

namespace testsupport {

inline client::ServerLink LinkTo(const ScriptedServer& server) {
  client::ServerLink link;
  link.SetHost("127.0.0.1");
  link.SetPort(std::to_string(server.Port()));
  link.SetLimits({std::chrono::milliseconds(1000), std::chrono::milliseconds(1000), 2048});
  return link;
}

}  // namespace testsupport
