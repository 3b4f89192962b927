#include "AtomicFile.h"
#include "Platform.h"
#include "ProfileText.h"

namespace platform {

std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, std::size_t bufferSize,
                             const std::string& file) {
  if (bufferSize == 0) return {};
  std::optional<std::string> value;
  if (const auto content = posix::ReadWholeFile(file)) {
    value = posix::FindProfileValue(*content, section, key);
  }
  if (!value) {
    value = defaultValue;
    while (!value->empty() && value->back() == ' ') value->pop_back();
  }
  if (value->size() > bufferSize - 1) value->resize(bufferSize - 1);
  return *value;
}

bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file) {
  if (file.empty() || !posix::MayWriteFile(file)) return false;
  std::string content;
  if (FileExists(file)) {
    // A file that exists but cannot be read must not be replaced by one holding only this key.
    const auto existing = posix::ReadWholeFile(file);
    if (!existing) return false;
    content = *existing;
  }
  return posix::ReplaceFileAtomically(file, posix::SetProfileValue(content, section, key, value));
}

}  // namespace platform
