// Batch mode: names on the command line run one sort (one name) or one compare (two names)
// exactly as the buttons do, and then the program ends.
#pragma once

#include <QStringList>

namespace kestrelon::ui {
class frmKestrelon;
}

namespace kestrelon::app {

// Runs the job in the started window and closes it. Failures go to standard error, one line
// naming the file and the reason. Returns the exit status.
int RunBatch(ui::frmKestrelon& window, const QStringList& arguments);

}  // namespace kestrelon::app
