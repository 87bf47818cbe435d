// kestrelon-cli routes: reads route tables of several platforms as records and writes them as
// JSON, CSV or aligned text.
#pragma once

#include "cli/cli_options.h"
#include "names/exit_codes.h"

namespace kestrelon::cli {

// Throws FileError for an input that cannot be read or placed, or an output that cannot be
// written; nothing is delivered then.
names::ExitCode RunRoutesCommand(const CommandLine& command);

}  // namespace kestrelon::cli
