#include "Dnc.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "Util.h"

namespace dncsim {
namespace {

constexpr int kBitsPerCharacter = 10;
constexpr std::chrono::milliseconds kRestartTime{3000};
constexpr long kFetchedProgramSize = 2400;  // what a control sends back when asked

std::vector<std::string> Fields(std::string text) {
  std::vector<std::string> fields;
  while (!text.empty()) fields.push_back(util::SplitFirst(';', text));
  return fields;
}

std::string Field(const std::vector<std::string>& fields, std::size_t index) {
  return index < fields.size() ? fields[index] : std::string();
}

// A name that stays inside the machine's directory: no ".." part.
bool SafeRelativeName(const std::string& file) {
  std::string rest = file;
  while (!rest.empty()) {
    if (util::SplitFirst('/', rest) == "..") return false;
  }
  return true;
}

std::string FetchedProgram(const std::string& file) {
  std::string program = "%\n(" + file + " - hentet fra styringen)\n";
  for (int line = 10; static_cast<long>(program.size()) < kFetchedProgramSize; line += 10) {
    program += "N" + std::to_string(line) + " G1 X" + std::to_string(line % 97) + " Y" +
               std::to_string(line % 53) + " F200\n";
  }
  return program + "M30\n%\n";
}

}  // namespace

Dnc::Dnc(std::vector<Machine> machines, double speed, std::function<Clock::time_point()> now)
    : machines_(std::move(machines)),
      states_(machines_.size()),
      speed_(speed > 0 ? speed : 1.0),
      now_(std::move(now)) {}

Machine* Dnc::Find(const std::string& designation) {
  int32_t number = 0;
  const bool byNumber = util::TryTextToInt(designation, number);
  for (auto& machine : machines_) {
    if (byNumber ? machine.number == number
                 : util::UpperText(machine.name) == util::UpperText(designation)) {
      return &machine;
    }
  }
  return nullptr;
}

Dnc::Clock::duration Dnc::LineTime(const Machine& machine, long bytes) const {
  const double seconds = static_cast<double>(bytes) * kBitsPerCharacter / machine.baud / speed_;
  return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

std::string Dnc::Path(const Machine& machine, const std::string& file) const {
  return !file.empty() && file[0] == '/' ? file : machine.directory + file;
}

// Brings a transfer or restart up to the present moment.
void Dnc::Advance(const Machine& machine, State& state) {
  if (state.activity == Activity::Idle || (paused_ && state.activity != Activity::Restarting)) {
    return;
  }
  const auto elapsed = now_() - state.started;
  if (elapsed < state.duration) {
    if (state.activity != Activity::Restarting) {
      state.bytes = static_cast<long>(static_cast<double>(state.totalBytes) * elapsed.count() /
                                      state.duration.count());
    }
    return;
  }
  if (state.activity == Activity::Fetching) {
    std::ofstream(Path(machine, state.file), std::ios::binary) << FetchedProgram(state.file);
  }
  state.message = state.activity == Activity::Restarting ? "Maskinen er startet p\xE5 nytt"
                                                         : "Overf\xF8ring ferdig";
  state.bytes = state.totalBytes;
  state.status = "Klar";
  state.result = "OK";
  state.done = state.activity != Activity::Restarting;
  state.activity = Activity::Idle;
}

bool Dnc::TogglePause() {
  std::lock_guard lock(mutex_);
  const auto now = now_();
  for (std::size_t i = 0; i < machines_.size(); ++i) {
    State& state = states_[i];
    if (state.activity == Activity::Idle || state.activity == Activity::Restarting) continue;
    if (!paused_) {
      Advance(machines_[i], state);
    } else {
      // The time halted does not count; a transfer begun while halted starts now.
      state.started += now - std::max(pausedAt_, state.started);
    }
  }
  paused_ = !paused_;
  pausedAt_ = now;
  return paused_;
}

std::string Dnc::StartTransfer(const Machine& machine, State& state, Activity activity,
                               const std::string& file) {
  const bool sending = activity == Activity::Sending;
  if (!machine.buttons.empty() &&
      machine.buttons.find(sending ? ";SEND;" : ";HENT;") == std::string::npos) {
    return sending ? "Maskinen kan ikke motta programmer" : "Maskinen kan ikke sende programmer";
  }
  if (state.activity != Activity::Idle) return "Maskinen er opptatt";
  if (file.empty()) return "Filnavn mangler";
  if (!SafeRelativeName(file)) return "Ugyldig filnavn: " + file;
  std::error_code error;
  long bytes = kFetchedProgramSize;
  if (sending) {
    const auto size = std::filesystem::file_size(Path(machine, file), error);
    if (error || std::filesystem::is_directory(Path(machine, file))) {
      return "Finner ikke filen " + file;
    }
    bytes = static_cast<long>(size);
  } else if (file[0] == '/') {
    return "Kan bare hente til maskinens katalog";
  }
  state.activity = activity;
  state.file = file;
  state.status = sending ? "Sender" : "Henter";
  state.message = "Overf\xF8rer " + file;
  state.bytes = 0;
  state.totalBytes = bytes;
  state.result.clear();
  state.done = false;
  state.started = now_();
  state.duration = LineTime(machine, bytes);
  return "OK";
}

std::string Dnc::Delete(const Machine& machine, const std::string& file) {
  if (file.empty()) return "Filnavn mangler";
  if (!SafeRelativeName(file) || file[0] == '/') return "Ugyldig filnavn: " + file;
  std::error_code error;
  std::filesystem::remove(Path(machine, file), error);
  return error ? "Kan ikke slette " + file : "OK";
}

std::string Dnc::Answer(const std::string& request) {
  std::lock_guard lock(mutex_);
  const std::vector<std::string> fields = Fields(request);
  const std::string name = util::UpperText(Field(fields, 0));
  if (name == "MASKINER") {
    std::string list;
    for (const auto& machine : machines_) list += (list.empty() ? "" : ";") + machine.name;
    return list;
  }
  if (fields.size() < 2) return "Ukjent foresp\xF8rsel: " + request;

  Machine* machine = Find(fields[1]);
  if (machine == nullptr) return "Ukjent maskin: " + fields[1];
  State& state = states_[static_cast<std::size_t>(machine - machines_.data())];
  Advance(*machine, state);
  const std::string file = Field(fields, 2);

  if (name == "MASKIN") return std::to_string(machine->number);
  if (name == "KNAPPER") return machine->buttons;
  if (name == "STATUS") {
    return machine->name + ";" + state.file + ";" + state.status + ";" + state.message + ";" +
           std::to_string(state.bytes) + ";" + state.result + ";" + (state.done ? "1" : "0");
  }
  if (name == "MASKIN-LES") {
    if (util::UpperText(file) == "KATALOG") return machine->directory;
    if (util::UpperText(file) == "PROTOKOLL") return machine->protocol;
    return "Ukjent innstilling: " + file;
  }
  if (name == "FILNAVN") {
    if (file.empty()) return "Filnavn mangler";
    if (state.activity != Activity::Idle) return "Maskinen er opptatt";
    state.file = file;
    return "OK";
  }
  if (name == "SEND") return StartTransfer(*machine, state, Activity::Sending, file);
  if (name == "HENT" || name == "GET") {
    return StartTransfer(*machine, state, Activity::Fetching, file);
  }
  if (name == "SLETT") {
    if (state.activity != Activity::Idle) return "Maskinen er opptatt";
    return Delete(*machine, file);
  }
  if (name == "RESTART") {
    if (state.activity != Activity::Idle) return "Maskinen er opptatt";
    state.activity = Activity::Restarting;
    state.status = "Restarter";
    state.message = "Maskinen startes p\xE5 nytt";
    state.result.clear();
    state.done = false;
    state.started = now_();
    state.duration = std::chrono::duration_cast<Clock::duration>(kRestartTime / speed_);
    return "OK";
  }
  return "Ukjent foresp\xF8rsel: " + request;
}

}  // namespace dncsim
