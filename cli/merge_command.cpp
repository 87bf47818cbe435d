#include "cli/merge_command.h"

#include <iostream>

#include "cli/fleet_output.h"
#include "cli/run_files.h"
#include "fleet/fleet_merge.h"

namespace kestrelon::cli {

names::ExitCode RunMergeCommand(const CommandLine& command) {
  RefuseOutputOverInputs(command);
  const report::FleetReport report = fleet::MergeShares(command.inputs);
  files::PrivateFolder folder;
  WriteResult(command.output, folder, "report", [&](files::OutputFile& output) {
    tables::FileByteSink sink(output);
    WriteFleetReport(report, command, sink);
  });
  WarnFleetDevices(std::cerr, report);
  return static_cast<names::ExitCode>(report.ExitStatus());
}

}  // namespace kestrelon::cli
