// The reply to "Status;": the machine's name and the progress fields shown in the window.
#pragma once

#include <string>

namespace client {

struct StatusRecord {
  std::string machineName;  // the group box caption
  std::string programFile;  // "Filnavn"
  std::string status;       // "Status"
  std::string message;      // "Melding"
  std::string bytes;        // "Bytes"
  std::string result;       // "Resultat"
  std::string doneFlag;     // "1" when the transfer is done

  // Split with NextField; missing fields are empty and fields after the seventh are ignored.
  static StatusRecord Parse(std::string reply);
  bool Done() const { return doneFlag == "1"; }
};

}  // namespace client
