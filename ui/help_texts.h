// The fixed texts of the Help menu and of the version line, as shown to the user.
#pragma once

#include <QString>

namespace kestrelon::ui {

// Each text is a sequence of lines, every line (the last one too) ended by "\r\n".
QString HowToSortText();
QString HowToCompareText();
QString HowToCommandText();
QString TechNotes1Text();
QString TechNotes2Text();
QString AboutText();

// The minor version as two digits: the last two characters of (minor + 100) in decimal.
QString TwoDigitMinor(int minor);

// "試作版 Ver.0.50 です": the first line of the version text, without its line end.
QString VersionLine();

}  // namespace kestrelon::ui
