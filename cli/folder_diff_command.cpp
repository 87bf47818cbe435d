#include "cli/folder_diff_command.h"

#include <atomic>

#include "cli/fleet_output.h"
#include "files/file_error.h"
#include "files/platform.h"
#include "fleet/fleet_run.h"

namespace kestrelon::cli {

bool DiffsFolders(const CommandLine& command) {
  const auto kind = [](const std::string& input) {
    try {
      return input == kStandardStream ? files::FileKind::kOther : files::KindOf(input);
    } catch (const FileError&) {
      return files::FileKind::kMissing;  // the run says why it cannot be read
    }
  };
  const files::FileKind before = kind(command.inputs[0]);
  const files::FileKind after = kind(command.inputs[1]);
  const bool folders = before == files::FileKind::kFolder || after == files::FileKind::kFolder;
  if (folders && before != after && before != files::FileKind::kMissing &&
      after != files::FileKind::kMissing) {
    throw UsageError("diff takes two files or two folders, not a file and a folder");
  }
  return folders;
}

names::ExitCode RunFolderDiff(const CommandLine& command) {
  fleet::FleetOptions options;
  options.beforeFolder = command.inputs[0];
  options.afterFolder = command.inputs[1];
  options.diff.platform = command.platform;
  options.diff.ignored = command.ignored;
  options.diff.vrfs = command.vrfs;
  options.diff.strict = command.strict;
  options.pairBy = command.pairBy;
  options.shard = command.shard;
  options.jobs = command.jobs;
  std::atomic<bool> cancel = false;
  const report::FleetReport report = fleet::RunFleet(options, nullptr, cancel);
  if (command.output) {
    report.RefuseOutputOver(*command.output);  // the report must not replace a capture
  }
  return DeliverFleetReport(report, command);
}

}  // namespace kestrelon::cli
