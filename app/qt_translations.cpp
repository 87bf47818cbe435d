#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kestrelon::app {

bool InstallQtJapanese(QTranslator& translator) {
  const QString folders[] = {
      QLibraryInfo::path(QLibraryInfo::TranslationsPath),
      QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
  };
  for (const QString& folder : folders) {
    if (translator.load(QStringLiteral("qtbase_ja"), folder)) {
      return QCoreApplication::installTranslator(&translator);
    }
  }
  return false;
}

}  // namespace kestrelon::app
