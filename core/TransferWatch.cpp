#include "TransferWatch.h"

#include "Protocol.h"

namespace client {

TransferWatch::TransferWatch(std::function<Clock::time_point()> now) : now_(std::move(now)) {}

void TransferWatch::MachineSelected() {
  progress_.Reset();
  unsized_.reset();
}

void TransferWatch::CommandAnswered(const std::string& command, const std::string& reply) {
  if (journal_) journal_->CommandGiven(command, reply);
  if (!IsOk(reply)) return;
  const CommandParts parts = SplitCommand(command);
  if (parts.word == "SEND") {
    unsized_ = Send{parts.machine, parts.file};
  } else if (parts.word != "RESTART") {
    unsized_.reset();  // a fetch or another transfer: its program is not the file on disk
  }
}

void TransferWatch::StatusShown(const std::string& machine, const StatusRecord& status) {
  progress_.Update(now_(), status);
  if (journal_) journal_->StatusSeen(machine, status);
}

bool TransferWatch::DirectoryWanted(const std::string& machine) const {
  return unsized_ && unsized_->machine == machine && progress_.View();
}

void TransferWatch::DirectoryAnswered(const std::optional<std::string>& directory) {
  if (!unsized_) return;
  // One look per send: a file out of reach leaves the rate alone on the bar.
  if (directory) {
    if (const auto size = ProgramFileSize(*directory, unsized_->file)) {
      progress_.SetProgramSize(*size);
    }
  }
  unsized_.reset();
}

}  // namespace client
