// kestrelon-cli diff: compares the route tables of a capture taken before a change and one
// taken after it, route by route, and writes the report as text, JSON or CSV.
#pragma once

#include "cli/cli_options.h"
#include "names/exit_codes.h"

namespace kestrelon::cli {

// kSuccess when no route changed, kDifferences when one did. Throws FileError for an input
// that cannot be read or placed or holds no route, or an output that cannot be written;
// nothing is delivered then.
names::ExitCode RunDiffCommand(const CommandLine& command);

}  // namespace kestrelon::cli
