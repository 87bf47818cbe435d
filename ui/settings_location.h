// Where the settings file lives: beside the program, or in the user's configuration folder when
// the program's folder cannot be written (a program installed in a system folder).
#pragma once

#include <QString>

namespace kestrelon::ui {

// "Kestrelon.ini" in programFolder when a file can be created there; otherwise in
// "kestrelon/" of the user's configuration folder ($XDG_CONFIG_HOME, else ~/.config), which is
// created when missing.
QString SettingsFilePath(const QString& programFolder);

}  // namespace kestrelon::ui
