// The exit statuses of both programs: the desktop program's batch mode ends with kSuccess or
// kTrouble; kestrelon-cli also with kDifferences, in the manner of diff(1).
#pragma once

namespace kestrelon::names {

enum ExitCode : int {
  kSuccess = 0,      // the sort or the compare was written (a compare: the tables equivalent)
  kDifferences = 1,  // kestrelon-cli: compare or diff written, differences found
  kTrouble = 2,      // bad usage, a missing input or a failed read or write; nothing written
};

}  // namespace kestrelon::names
