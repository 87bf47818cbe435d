// The exit statuses of kestrelon-cli, in the manner of diff(1).
#pragma once

namespace kestrelon::cli {

enum ExitCode : int {
  kSuccess = 0,      // sort written; compare found the tables equivalent
  kDifferences = 1,  // compare written, differences found
  kTrouble = 2,      // bad usage or a failed operation; nothing written
};

}  // namespace kestrelon::cli
