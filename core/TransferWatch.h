// What a session follows of its transfers: the progress of the one under way, the size of the
// program it sends, and the journal's lines.
//
// The size is looked up once a send that this client gave shows as under way: the machine's
// directory as the server answers it, plus the file of the command. A fetch brings a program
// of unknown size, so it shows only its rate.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "FileWorker.h"
#include "StatusRecord.h"
#include "TransferJournal.h"
#include "TransferProgress.h"

namespace client {

class TransferWatch {
 public:
  using Clock = TransferProgress::Clock;

  // With `files`, the program's size is looked up on that worker and shows from the next
  // status on; without it, at once.
  explicit TransferWatch(std::function<Clock::time_point()> now = Clock::now,
                         FileWorker* files = nullptr);

  // The journal to keep; without one (the default) nothing is written.
  void KeepJournal(std::unique_ptr<TransferJournal> journal) { journal_ = std::move(journal); }

  // Another machine became the active one.
  void MachineSelected();
  // A transfer command as it was sent, and its reply (one of our own texts when the server
  // did not answer).
  void CommandAnswered(const std::string& command, const std::string& reply);
  void StatusShown(const std::string& machine, const StatusRecord& status);
  // True when the directory of the machine is wanted, to size the program under way.
  bool DirectoryWanted(const std::string& machine) const;
  // The directory as the server answered it; nothing when the server did not answer.
  void DirectoryAnswered(const std::optional<std::string>& directory);

  // Nothing when no transfer is under way.
  std::optional<ProgressView> Progress() const { return progress_.View(); }

 private:
  struct Send {
    std::string machine;
    std::string file;
  };

  // A size looked up on the worker, for the send of that generation.
  struct SizeFound {
    std::mutex mutex;
    std::optional<std::uintmax_t> size;
    unsigned generation = 0;
  };
  void TakeSizeFound();

  std::function<Clock::time_point()> now_;
  FileWorker* files_;
  std::shared_ptr<SizeFound> sizeFound_ = std::make_shared<SizeFound>();
  unsigned generation_ = 0;  // counts the sends, so that a late size finds its own
  TransferProgress progress_;
  std::unique_ptr<TransferJournal> journal_;
  std::optional<Send> unsized_;  // an accepted send whose program has not been sized yet
};

}  // namespace client
