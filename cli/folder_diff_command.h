// kestrelon-cli diff BEFORE_DIR AFTER_DIR: the captures of two folders paired by device, each
// pair diffed, and one report for the fleet.
#pragma once

#include "cli/cli_options.h"
#include "names/exit_codes.h"

namespace kestrelon::cli {

// Whether the diff's two inputs are folders (both; one folder and one file is refused).
bool DiffsFolders(const CommandLine& command);

// kSuccess when every device is the same, kDifferences when one changed or is missing,
// kTrouble when one could not be read (the report is written all the same). Throws FileError
// for a folder that cannot be listed, two captures of one device on one side, or an output
// that cannot be written.
names::ExitCode RunFolderDiff(const CommandLine& command);

}  // namespace kestrelon::cli
