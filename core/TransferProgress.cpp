#include "TransferProgress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "Platform.h"
#include "Util.h"

namespace client {
namespace {

using Seconds = std::chrono::duration<double>;

// A rate needs replies at least this far apart.
constexpr std::chrono::milliseconds kShortestSpan{500};

constexpr const char* kDash = " \x96 ";  // an en dash between blanks
constexpr unsigned char kNoBreakSpace = 0xA0;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || static_cast<unsigned char>(c) == kNoBreakSpace; }

bool IsTransferWord(const std::string& status) {
  std::size_t begin = 0;
  while (begin < status.size() && IsBlank(status[begin])) ++begin;
  std::size_t end = begin;
  while (end < status.size() && !IsBlank(status[end])) ++end;
  const std::string word = util::UpperText(status.substr(begin, end - begin));
  return word == "SENDER" || word == "HENTER" || word == "MOTTAR" || word == "OVERF\xD8RER";
}

// A decimal comma, as Norwegian writes it.
std::string OneDecimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  std::string result = text;
  std::replace(result.begin(), result.end(), '.', ',');
  return result;
}

std::string RateText(double bytesPerSecond) {
  const double rate = std::max(0.0, bytesPerSecond);
  if (std::lround(rate) < 1000) return std::to_string(std::lround(rate)) + " B/s";
  if (rate < 9950) return OneDecimal(rate / 1000) + " kB/s";
  if (rate < 999500) return std::to_string(std::lround(rate / 1000)) + " kB/s";
  return OneDecimal(rate / 1e6) + " MB/s";
}

std::string TwoDigits(long long value) { return (value < 10 ? "0" : "") + std::to_string(value); }

// "2:41", or "1:02:41" from an hour on.
std::string DurationText(std::chrono::seconds left) {
  const long long total = left.count();
  const long long hours = total / 3600;
  const long long minutes = total / 60 % 60;
  const std::string seconds = TwoDigits(total % 60);
  if (hours == 0) return std::to_string(minutes) + ":" + seconds;
  return std::to_string(hours) + ":" + TwoDigits(minutes) + ":" + seconds;
}

}  // namespace

std::optional<std::uintmax_t> ParseByteCount(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i == text.size() || !IsDigit(text[i])) return std::nullopt;
  std::uintmax_t count = 0;
  constexpr std::uintmax_t kMax = std::numeric_limits<std::uintmax_t>::max();
  for (; i < text.size(); ++i) {
    if (IsBlank(text[i]) && i + 1 < text.size() && IsDigit(text[i + 1])) continue;
    if (!IsDigit(text[i])) break;
    const auto digit = static_cast<std::uintmax_t>(text[i] - '0');
    if (count > (kMax - digit) / 10) return std::nullopt;
    count = count * 10 + digit;
  }
  // After the number: nothing, or a blank and then anything (a unit).
  if (i < text.size() && !IsBlank(text[i])) return std::nullopt;
  return count;
}

void TransferProgress::Update(Clock::time_point at, const StatusRecord& status) {
  const std::optional<std::uintmax_t> count = ParseByteCount(status.bytes);
  if (status.Done() || !count) {
    End();
    previous_.reset();
    return;
  }
  const Sample sample{at, *count};
  if (phase_ != Phase::Idle &&
      (status.status != transferStatus_ || *count < samples_.back().bytes)) {
    End();
  }
  if (phase_ == Phase::Idle) {
    const bool grew = previous_ && *count > previous_->bytes;
    if (!grew && !IsTransferWord(status.status)) {
      previous_ = sample;
      return;
    }
    Begin(status.status, at);
    if (grew) samples_.push_back(*previous_);
  }
  previous_.reset();
  if (phase_ != Phase::Running) return;

  if (!samples_.empty() && *count != samples_.back().bytes) lastMove_ = at;
  samples_.push_back(sample);
  // Keep one reply at or before the window's start, so that the window is spanned whole.
  while (samples_.size() > 2 && samples_[1].at <= at - kRateWindow) samples_.pop_front();
  if (size_ && *count >= *size_) phase_ = Phase::Complete;
}

void TransferProgress::SetProgramSize(std::uintmax_t size) {
  if (phase_ != Phase::Running) return;
  size_ = size;
  if (samples_.back().bytes >= size) phase_ = Phase::Complete;
}

void TransferProgress::Begin(const std::string& status, Clock::time_point at) {
  phase_ = Phase::Running;
  transferStatus_ = status;
  samples_.clear();
  lastMove_ = at;
}

void TransferProgress::End() {
  phase_ = Phase::Idle;
  size_.reset();
  samples_.clear();
}

void TransferProgress::Reset() {
  End();
  previous_.reset();
}

std::optional<ProgressView> TransferProgress::View() const {
  if (phase_ != Phase::Running) return std::nullopt;
  const Sample& last = samples_.back();
  ProgressView view;
  view.bytes = last.bytes;
  if (size_ && *size_ > 0) {
    view.size = size_;
    view.share = std::min(1.0, static_cast<double>(last.bytes) / static_cast<double>(*size_));
  }
  const Sample& first = samples_.front();
  if (last.at - first.at >= kShortestSpan) {
    view.bytesPerSecond =
        static_cast<double>(last.bytes - first.bytes) / Seconds(last.at - first.at).count();
  }
  view.stalled = last.at - lastMove_ >= kStallTime;
  if (size_ && view.bytesPerSecond && *view.bytesPerSecond > 0 && !view.stalled) {
    const double left = static_cast<double>(*size_ - last.bytes) / *view.bytesPerSecond;
    view.timeLeft = std::chrono::seconds(static_cast<long long>(std::ceil(left)));
  }
  return view;
}

std::optional<std::uintmax_t> ProgramFileSize(const std::string& directory,
                                              const std::string& programFile) {
  if (programFile.empty()) return std::nullopt;
  if (platform::IsFullPath(programFile)) return platform::FileSize(programFile);
  // A relative directory would be the server's own, not one the client can reach.
  if (!platform::IsFullPath(directory)) return std::nullopt;
  return platform::FileSize(directory + programFile);
}

std::string ProgressText(const ProgressView& view) {
  std::vector<std::string> parts;
  if (view.share) {
    // Rounded down: "100 %" only once everything is there.
    parts.push_back(std::to_string(static_cast<int>(std::floor(*view.share * 100))) + " %");
  }
  if (view.stalled) {
    parts.push_back("st\xE5r stille");
  } else if (view.bytesPerSecond) {
    parts.push_back(RateText(*view.bytesPerSecond));
    if (view.timeLeft) parts.push_back(DurationText(*view.timeLeft) + " igjen");
  }
  if (parts.empty()) return "beregner hastighet";
  std::string text = parts.front();
  for (std::size_t i = 1; i < parts.size(); ++i) text += kDash + parts[i];
  return text;
}

}  // namespace client
