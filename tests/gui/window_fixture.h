// A main window started in its own temporary program folder, with lookups of its controls; the
// failures it reports are collected in errors instead of message boxes.
#pragma once

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <initializer_list>
#include <memory>
#include <utility>

#include "settings/win_sys.h"
#include "ui/main_window.h"

namespace kestrelon::testing {

inline QString U(const char* text) {
  return QString::fromUtf8(text);
}

inline void Write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) {
    file.write(bytes);
  }
}

inline QByteArray Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// text with each edit made once, at its first place; ends the test run when text lacks one
// (the capture it was made for has changed).
inline QByteArray WithEdits(QByteArray text,
                            std::initializer_list<std::pair<const char*, const char*>> edits) {
  for (const auto& [from, to] : edits) {
    if (!text.contains(from)) {
      qFatal("the capture no longer holds %s", from);
    }
    text.replace(text.indexOf(from), qsizetype(qstrlen(from)), to);
  }
  return text;
}

// What kestrelon-cli diff writes on standard output.
inline QByteArray CliDiff(const QStringList& arguments) {
  QProcess cli;
  cli.start(QStringLiteral(KESTRELON_CLI), QStringList{QStringLiteral("diff")} + arguments);
  cli.waitForFinished(120000);
  return cli.readAllStandardOutput();
}

inline QColor TextColour(const QLineEdit* box) {
  return box->palette().color(QPalette::Text);
}

class WindowFixture {
 public:
  // The settings file the window will read, written before it starts; null for none.
  explicit WindowFixture(const char* settingsText = nullptr) {
    if (settingsText != nullptr) {
      Write(IniPath(), settingsText);
    }
    window_ = std::make_unique<ui::frmKestrelon>(folder_.path());
    window_->setErrorReporter(
        [this](const QString&, const QString& detail) { errors.push_back(detail); });
  }

  ui::frmKestrelon& window() { return *window_; }
  QString IniPath() const { return folder_.filePath(U("Kestrelon.ini")); }
  QString Path(const char* name) const { return folder_.filePath(U(name)); }

  // Creates a file in the program folder and gives its full name.
  QString MakeFile(const char* name, const QByteArray& bytes = "x\r\n") const {
    Write(Path(name), bytes);
    return Path(name);
  }

  QString Setting(const char* key) const {
    return QString::fromStdString(
        settings::ReadIni(QFile::encodeName(IniPath()).toStdString(), "Kestrelon", key));
  }

  QLineEdit* box(const char* name) { return find<QLineEdit>(name); }
  QPushButton* button(const char* name) { return find<QPushButton>(name); }
  QCheckBox* checkBox(const char* name) { return find<QCheckBox>(name); }
  QAction* item(const char* name) { return find<QAction>(name); }
  QMenu* menu(const char* name) { return find<QMenu>(name); }

  QStringList errors;

 private:
  template <typename T>
  T* find(const char* name) {
    T* found = window_->findChild<T*>(U(name));
    if (found == nullptr) {
      qFatal("no control named %s", name);
    }
    return found;
  }

  QTemporaryDir folder_;
  std::unique_ptr<ui::frmKestrelon> window_;
};

}  // namespace kestrelon::testing
