// kestrelon-cli sort: one capture sorted and filtered, delivered to -o OUT or standard output.
#pragma once

#include "cli/cli_options.h"
#include "names/exit_codes.h"

namespace kestrelon::cli {

// Runs the sort of command.inputs[0]. Throws FileError; on failure nothing is delivered.
names::ExitCode RunSortCommand(const CommandLine& command);

}  // namespace kestrelon::cli
