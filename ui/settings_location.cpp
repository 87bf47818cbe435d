#include "ui/settings_location.h"

#include <QDir>
#include <QStandardPaths>

#include "settings/install_folder.h"

#ifndef KESTRELON_INSTALL_BINDIR
#define KESTRELON_INSTALL_BINDIR ""
#endif

namespace kestrelon::ui {

namespace {

constexpr QLatin1StringView kFileName("Kestrelon.ini");

// The folder as the file system knows it, so a link to an installed program counts as installed.
QString ResolvedFolder(const QString& folder) {
  const QString canonical = QDir(folder).canonicalPath();
  return QDir::fromNativeSeparators(canonical.isEmpty() ? QDir::cleanPath(folder) : canonical);
}

QString UserSettingsFolder() {
  QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  if (base.isEmpty() || QDir::isRelativePath(base)) {
    base = QDir::homePath() + QStringLiteral("/.config");  // a relative XDG path is ignored
  }
  return base + QStringLiteral("/kestrelon/");
}

}  // namespace

QString SettingsFilePath(const QString& programFolder) {
  const QString installBinDir = ResolvedFolder(QString::fromUtf8(KESTRELON_INSTALL_BINDIR));
  if (settings::IsInstalledProgramFolder(ResolvedFolder(programFolder).toStdString(),
                                         installBinDir.toStdString())) {
    const QString user = UserSettingsFolder();
    QDir().mkpath(user);
    return user + kFileName;
  }
  QString folder = programFolder;
  if (!folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('\\'))) {
    folder += QLatin1Char('/');
  }
  return folder + kFileName;
}

}  // namespace kestrelon::ui
