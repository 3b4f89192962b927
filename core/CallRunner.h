// How a session's server calls are made: one at a time, and given up at once when the window
// closes.
#pragma once

#include <exception>
#include <string>

#include "Connection.h"
#include "ServerLink.h"

namespace client {

// Thrown through a command sequence whose call was given up: nothing that the sequence would
// have done afterwards happens. The failure guard lets it pass without a word.
class CallCancelled : public std::exception {
 public:
  const char* what() const noexcept override { return "the call was given up"; }
};

class CallRunner {
 public:
  virtual ~CallRunner() = default;
  // Makes the call and returns how it ended; Cancelled once Cancel has been called.
  virtual CallResult Run(const ServerLink& link, const std::string& request) = 0;
  // Gives up the call under way, and every later one.
  virtual void Cancel() = 0;
  // True while a call is under way.
  virtual bool Busy() const = 0;
};

// Makes each call on the caller's own thread (tools and tests without an event loop).
class DirectCallRunner : public CallRunner {
 public:
  CallResult Run(const ServerLink& link, const std::string& request) override;
  void Cancel() override;
  bool Busy() const override { return busy_; }

 private:
  platform::CancelSignal cancel_;  // one for every call: making one costs more than a call
  bool busy_ = false;
};

}  // namespace client
