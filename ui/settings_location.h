// Where the settings file lives: beside a program copied to a folder of its own, or in the user's
// configuration folder for an installed program.
#pragma once

#include <QString>

namespace kestrelon::ui {

// "Kestrelon.ini" in programFolder, unless that is where the build installs programs or a folder
// under /usr: then in "kestrelon/" of the user's configuration folder ($XDG_CONFIG_HOME, else
// ~/.config), which is created when missing. Whether the folder can be written does not count.
QString SettingsFilePath(const QString& programFolder);

}  // namespace kestrelon::ui
