#include "Translations.h"

#include <QCoreApplication>
#include <QtGlobal>

namespace client {
namespace {

// Built from translations/qtbase_nb.ts into the program's resources.
constexpr const char* kToolkitTranslation = ":/translations/qtbase_nb.qm";

}  // namespace

ToolkitTranslation::ToolkitTranslation() {
  // Numbers and dates the toolkit formats itself follow the texts, whatever the system's locale.
  QLocale::setDefault(QLocale(QLocale::NorwegianBokmal, QLocale::Norway));
  installed_ = translator_.load(QString::fromLatin1(kToolkitTranslation)) &&
               QCoreApplication::installTranslator(&translator_);
  if (!installed_) qWarning("The toolkit's Norwegian texts could not be loaded");
}

ToolkitTranslation::~ToolkitTranslation() {
  QLocale::setDefault(previousLocale_);
  if (installed_) QCoreApplication::removeTranslator(&translator_);
}

}  // namespace client
