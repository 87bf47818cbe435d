// kestrelon-cli merge SHARE.json...: the JSON reports of the shares of one folder diff (each
// made with --shard K/N) joined into the report one run would have written.
#pragma once

#include "cli/cli_options.h"
#include "names/exit_codes.h"

namespace kestrelon::cli {

// The folder diff's exit status for the devices of all shares. Throws FileError for a share
// that cannot be read or does not belong, a share missing, or an output that cannot be written.
names::ExitCode RunMergeCommand(const CommandLine& command);

}  // namespace kestrelon::cli
