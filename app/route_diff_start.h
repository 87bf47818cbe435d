// `kestrelon --route-diff BEFORE AFTER`: the main window with the two names in its input boxes
// and the route diff window on them, for a file manager's "open with" or a script; and
// `kestrelon --folder-diff BEFORE_DIR AFTER_DIR`: the main window and the fleet window.
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

// Whether the arguments ask for the folder diff (they start with --folder-diff).
bool IsFolderDiffStart(const QStringList& arguments);

// Shows the main window and opens the fleet window on the two folders. Returns false, with a
// line on standard error, unless exactly two names follow the option.
bool StartFolderDiff(ui::frmKestrelon& window, const QStringList& arguments);

}  // namespace kestrelon::app
