#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace dravik::app {

bool UseQtTranslations(bool chinese) {
  // One translator for the whole run; the application keeps a pointer to it while it is
  // installed.
  static QTranslator* translator = new QTranslator(QCoreApplication::instance());
  QCoreApplication::removeTranslator(translator);
  if (!chinese) return true;
  if (translator->isEmpty() &&
      !translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace dravik::app
