#include "Translations.h"

#include <QCoreApplication>
#include <QtGlobal>

namespace client {
namespace {

// Built from translations/qtbase_nb.ts into the program's resources.
constexpr const char* kToolkitTranslation = ":/translations/qtbase_nb.qm";

}  // namespace

ToolkitTranslation::ToolkitTranslation() {
  installed_ = translator_.load(QString::fromLatin1(kToolkitTranslation)) &&
               QCoreApplication::installTranslator(&translator_);
  if (!installed_) qWarning("The toolkit's Norwegian texts could not be loaded");
}

ToolkitTranslation::~ToolkitTranslation() {
  if (installed_) QCoreApplication::removeTranslator(&translator_);
}

}  // namespace client
