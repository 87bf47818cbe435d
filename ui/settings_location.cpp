#include "ui/settings_location.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace kestrelon::ui {

namespace {

constexpr QLatin1StringView kFileName("Kestrelon.ini");

// Settings are replaced through a temporary file beside them, so creating one is the test;
// permission bits alone would not tell (root, read-only mounts, access lists).
bool CanCreateFilesIn(const QString& folder) {
  QTemporaryFile probe(folder + kFileName + QStringLiteral(".XXXXXX"));
  return probe.open();
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
  QString folder = programFolder;
  if (!folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('\\'))) {
    folder += QLatin1Char('/');
  }
  if (CanCreateFilesIn(folder)) {
    return folder + kFileName;
  }
  const QString user = UserSettingsFolder();
  QDir().mkpath(user);
  return user + kFileName;
}

}  // namespace kestrelon::ui
