// Qt's own texts (dialog buttons, the file dialog, edit menus) in Japanese, so they match the
// window's Japanese captions.
#pragma once

class QTranslator;

namespace kestrelon::app {

// Loads Qt's Japanese catalogue into translator and installs it in the running application.
// Looks in Qt's translations folder, then in "translations" beside the program (where a
// deployed Windows build keeps it). False, and Qt's texts stay English, when it is missing.
bool InstallQtJapanese(QTranslator& translator);

}  // namespace kestrelon::app
