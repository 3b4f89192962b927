#include "TransferWatch.h"

#include "Protocol.h"

namespace client {

TransferWatch::TransferWatch(std::function<Clock::time_point()> now, FileWorker* files)
    : now_(std::move(now)), files_(files) {}

void TransferWatch::MachineSelected() {
  progress_.Reset();
  unsized_.reset();
  ++generation_;
}

void TransferWatch::CommandAnswered(const std::string& command, const std::string& reply) {
  if (journal_) journal_->CommandGiven(command, reply);
  if (!IsOk(reply)) return;
  const CommandParts parts = SplitCommand(command);
  ++generation_;
  if (parts.word == "SEND") {
    unsized_ = Send{parts.machine, parts.file};
  } else if (parts.word != "RESTART") {
    unsized_.reset();  // a fetch or another transfer: its program is not the file on disk
  }
}

void TransferWatch::StatusShown(const std::string& machine, const StatusRecord& status) {
  TakeSizeFound();
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
    auto lookUp = [found = sizeFound_, generation = generation_, directory = *directory,
                   file = unsized_->file] {
      const auto size = ProgramFileSize(directory, file);
      std::lock_guard lock(found->mutex);
      found->size = size;
      found->generation = generation;
    };
    if (files_ == nullptr) {
      lookUp();
      TakeSizeFound();
    } else {
      files_->Post(std::move(lookUp));
    }
  }
  unsized_.reset();
}

void TransferWatch::TakeSizeFound() {
  std::lock_guard lock(sizeFound_->mutex);
  if (sizeFound_->size && sizeFound_->generation == generation_) {
    progress_.SetProgramSize(*sizeFound_->size);
  }
  sizeFound_->size.reset();
}

}  // namespace client
