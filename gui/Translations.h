// The toolkit's own texts (the file dialog, the standard buttons) in Bokmål, like the rest of
// the program. The program's own texts are written in Norwegian already and are not translated.
#pragma once

#include <QLocale>
#include <QTranslator>

namespace client {

// Installed for its lifetime; a warning on standard error when it cannot be loaded, and the
// toolkit then speaks English.
class ToolkitTranslation {
 public:
  ToolkitTranslation();
  ~ToolkitTranslation();
  ToolkitTranslation(const ToolkitTranslation&) = delete;
  ToolkitTranslation& operator=(const ToolkitTranslation&) = delete;

  bool Installed() const { return installed_; }

 private:
  QTranslator translator_;
  QLocale previousLocale_;  // the default locale before, given back at the end
  bool installed_ = false;
};

}  // namespace client
