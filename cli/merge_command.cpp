#include "cli/merge_command.h"

#include "cli/fleet_output.h"
#include "cli/run_files.h"
#include "fleet/fleet_merge.h"

namespace kestrelon::cli {

names::ExitCode RunMergeCommand(const CommandLine& command) {
  RefuseOutputOverInputs(command);
  const report::FleetReport report = fleet::MergeShares(command.inputs);
  return DeliverFleetReport(report, command);
}

}  // namespace kestrelon::cli
