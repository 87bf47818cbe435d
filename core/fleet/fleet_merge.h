// The shares of one folder diff, each run on its own machine with --shard K/N, joined back into
// the report a single run would have made: the shares' JSON documents read, checked to be of
// one run, and their devices put in name order.
#pragma once

#include <string>
#include <vector>

#include "report/fleet_report.h"

namespace kestrelon::fleet {

// Reads the JSON reports at paths (every share of one run, once, in any order). Throws
// FileError naming the file that cannot be read, is not such a report, repeats a share, or was
// made from other folders or options than the first; or naming the first file when a share is
// missing.
report::FleetReport MergeShares(const std::vector<std::string>& paths);

}  // namespace kestrelon::fleet
