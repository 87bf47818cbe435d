// A main window started in its own temporary program folder, with lookups of its controls.
#pragma once

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <memory>

#include "settings/win_sys.h"
#include "ui/main_window.h"

namespace kestrelon::testing {

inline QString U(const char* text) {
  return QString::fromUtf8(text);
}

class WindowFixture {
 public:
  // The settings file the window will read, written before it starts; null for none.
  explicit WindowFixture(const char* settingsText = nullptr) {
    if (settingsText != nullptr) {
      QFile file(IniPath());
      if (file.open(QIODevice::WriteOnly)) {
        file.write(settingsText);
      }
    }
    window_ = std::make_unique<ui::frmKestrelon>(folder_.path());
  }

  ui::frmKestrelon& window() { return *window_; }
  QString IniPath() const { return folder_.filePath(U("Kestrelon.ini")); }
  QString Path(const char* name) const { return folder_.filePath(U(name)); }

  // Creates a file in the program folder and gives its full name.
  QString MakeFile(const char* name) const {
    QFile file(Path(name));
    if (file.open(QIODevice::WriteOnly)) {
      file.write("x\r\n");
    }
    return file.fileName();
  }

  QString Setting(const char* key) const {
    return QString::fromStdString(
        settings::ReadIni(QFile::encodeName(IniPath()).toStdString(), "Kestrelon", key));
  }
  QByteArray IniBytes() const {
    QFile file(IniPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QLineEdit* box(const char* name) { return find<QLineEdit>(name); }
  QPushButton* button(const char* name) { return find<QPushButton>(name); }
  QCheckBox* checkBox(const char* name) { return find<QCheckBox>(name); }
  QAction* item(const char* name) { return find<QAction>(name); }
  QMenu* menu(const char* name) { return find<QMenu>(name); }

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
