// kestrelon-cli compare: two captures sorted and merged into a difference file, delivered to
// -o OUT or standard output, with the two sort results kept on request.
#pragma once

#include "cli/cli_options.h"
#include "names/exit_codes.h"

namespace kestrelon::cli {

// Runs the compare of command.inputs[0] (before) and [1] (after): kSuccess when the tables are
// equivalent, kDifferences otherwise. Throws FileError; on failure nothing is delivered.
names::ExitCode RunCompareCommand(const CommandLine& command);

}  // namespace kestrelon::cli
