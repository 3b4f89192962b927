#include "ModuleState.h"
#include "Platform.h"
#include "Util.h"

namespace util {
namespace {

// GetPrivateProfileStringA is called with a buffer of this size, terminator included.
constexpr std::size_t kValueBufferSize = 4096;

}  // namespace

std::string ReadIniFile(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& defaultValue) {
  std::string result = defaultValue;
  if (file.empty()) {
    Notice("Advarsel",
           "Programfeil - ingen aktiv ini-fil:\r[" + section + "], " + key + " = " + defaultValue);
  }
  if (!section.empty() && !key.empty() && !file.empty()) {
    result = platform::GetProfileString(section, key, defaultValue, kValueBufferSize, file);
  }
  return result;
}

std::string ReadIni(const std::string& section, const std::string& key,
                    const std::string& defaultValue, bool decode) {
  std::string value = ReadIniFile(IniFile(), section, key, defaultValue);
  if (decode) DecodeVisual(value);
  return value;
}

std::string ReadIniUpper(const std::string& section, const std::string& key,
                         const std::string& defaultValue, bool decode) {
  return UpperText(ReadIni(section, key, defaultValue, decode));
}

bool ReadIniBool(const std::string& section, const std::string& key, bool defaultValue) {
  const std::string value = ReadIniUpper(section, key, defaultValue ? "True" : "False");
  return value == "TRUE" || value == "1";
}

int32_t ReadIniInt(const std::string& section, const std::string& key, int32_t defaultValue) {
  int32_t value = 0;
  return TryTextToInt(ReadIniUpper(section, key, IntToText(defaultValue)), value) ? value
                                                                                  : defaultValue;
}

void WriteIni(const std::string& section, const std::string& key, const std::string& value) {
  // A failed write is not reported: the settings in memory stay as they are.
  (void)platform::WriteProfileString(section, key, value, IniFile());
}

void NoticeBox(const void* /*owner*/, const std::string& caption, const std::string& text) {
  try {
    platform::ShowNoticeBox(caption, text);
  } catch (...) {
    platform::ShowPlainMessage(caption + ":\r\r" + text);
  }
}

void Notice(const std::string& caption, const std::string& text) {
  NoticeBox(nullptr, caption, text);
}

}  // namespace util
