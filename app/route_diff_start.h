// `kestrelon --route-diff BEFORE AFTER`: the main window with the two names in its input boxes
// and the route diff window on them, for a file manager's "open with" or a script.
#pragma once

#include <QStringList>

namespace kestrelon::ui {
class frmKestrelon;
}

namespace kestrelon::app {

// Whether the arguments ask for the route diff (they start with --route-diff).
bool IsRouteDiffStart(const QStringList& arguments);

// Puts the two names into the boxes, shows the main window and opens the route diff window.
// Returns false, with a line on standard error, unless exactly two names follow the option.
bool StartRouteDiff(ui::frmKestrelon& window, const QStringList& arguments);

}  // namespace kestrelon::app
