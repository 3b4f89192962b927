// A status record of a transfer, as the tests of its progress and its watch feed them.
#pragma once

#include <string>

#include "StatusRecord.h"

namespace testsupport {

inline client::StatusRecord TransferStatus(const std::string& status, const std::string& bytes,
                                           const std::string& done = "0") {
  client::StatusRecord record;
  record.status = status;
  record.bytes = bytes;
  record.doneFlag = done;
  return record;
}

}  // namespace testsupport
