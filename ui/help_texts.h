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

}  // namespace kestrelon::ui
