#include "StatusRecord.h"

#include "Protocol.h"

namespace client {

StatusRecord StatusRecord::Parse(std::string reply) {
  StatusRecord record;
  for (std::string* field : {&record.machineName, &record.programFile, &record.status,
                             &record.message, &record.bytes, &record.result, &record.doneFlag}) {
    *field = NextField(reply);
  }
  return record;
}

}  // namespace client
