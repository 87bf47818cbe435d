// The exit statuses of the desktop program's batch mode.
#pragma once

namespace kestrelon::app {

enum ExitCode : int {
  kSuccess = 0,  // the sort or the compare was written (or the window was closed)
  kTrouble = 2,  // a missing input, a bad name, a file that could not be read or written
};

}  // namespace kestrelon::app
