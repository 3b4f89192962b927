#include "AtomicFile.h"
#include "Cp1252.h"
#include "Files.h"
#include "Platform.h"
#include "ProfileText.h"

namespace platform {
namespace {

constexpr const char* kUtf16Mark = "\xFF\xFE";

bool IsUtf16(const std::string& bytes) { return bytes.rfind(kUtf16Mark, 0) == 0; }

// The file as cp1252 text: a UTF-16LE file (FF FE) is converted, any other taken as it is.
std::string ProfileText(const std::string& bytes) {
  return IsUtf16(bytes) ? Utf16LeToCp1252(bytes.substr(2)) : bytes;
}

}  // namespace

std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, std::size_t bufferSize,
                             const std::string& file) {
  if (bufferSize == 0) return {};
  std::optional<std::string> value;
  if (const auto content = posix::ReadWholeFile(ToSystemName(file))) {
    value = posix::FindProfileValue(ProfileText(*content), section, key);
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
  const std::string path = ToSystemName(file);
  if (path.empty() || !posix::MayWriteFile(path)) return false;
  std::string content;
  if (posix::IsExistingFile(path)) {
    // A file that exists but cannot be read must not be replaced by one holding only this key.
    const auto existing = posix::ReadWholeFile(path);
    if (!existing) return false;
    content = *existing;
  }
  if (!IsUtf16(content)) {
    return posix::ReplaceFileAtomically(path, posix::SetProfileValue(content, section, key, value));
  }
  // A UTF-16 file is edited as cp1252 and written back as UTF-16, unless it holds characters
  // that cp1252 cannot, which the round trip would lose.
  const std::string text = ProfileText(content);
  if (kUtf16Mark + Cp1252ToUtf16Le(text) != content) return false;
  return posix::ReplaceFileAtomically(
      path, kUtf16Mark + Cp1252ToUtf16Le(posix::SetProfileValue(text, section, key, value)));
}

}  // namespace platform
