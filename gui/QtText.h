// The one crossing between the program's cp1252 texts and the toolkit's Unicode strings.
#pragma once

#include <QString>
#include <optional>
#include <string>

#include "Cp1252.h"

namespace client {

inline QString ToQt(const std::string& cp1252) {
  return QString::fromStdString(platform::Cp1252ToUtf8(cp1252));
}

inline std::string FromQt(const QString& text) {
  return platform::Utf8ToCp1252(text.toStdString());
}

// For names, where a '?' in place of a character would name another file: nothing when the
// text holds a character that cp1252 lacks.
inline std::optional<std::string> FromQtName(const QString& text) {
  return platform::Utf8ToCp1252Exact(text.toStdString());
}

}  // namespace client
