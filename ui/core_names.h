// File names between Qt and the core. The core takes names as the system's bytes: on POSIX the
// bytes Qt's file functions use (names that are not valid UTF-8 keep their bytes), on Windows
// UTF-8, which the core's platform layer turns into the system's wide names.
#pragma once

#include <QFile>
#include <QString>
#include <string>

namespace kestrelon::ui {

inline std::string CoreName(const QString& name) {
#if defined(Q_OS_WIN)
  return name.toStdString();
#else
  return QFile::encodeName(name).toStdString();
#endif
}

inline QString FromCoreName(const std::string& name) {
#if defined(Q_OS_WIN)
  return QString::fromStdString(name);
#else
  return QFile::decodeName(QByteArray::fromStdString(name));
#endif
}

}  // namespace kestrelon::ui
