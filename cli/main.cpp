// kestrelon-cli: sorts or compares "show ip route" captures, reads route tables as records, or
// diffs two route tables route by route, from scripts.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/compare_command.h"
#include "cli/diff_command.h"
#include "cli/help_text.h"
#include "cli/merge_command.h"
#include "cli/routes_command.h"
#include "cli/sort_command.h"
#include "cli/standard_streams.h"
#include "files/platform.h"
#include "files/signal_cleanup.h"
#include "names/exit_codes.h"

namespace {

kestrelon::names::ExitCode Run(const kestrelon::cli::CommandLine& command) {
  using namespace kestrelon::cli;
  switch (command.mode) {
    case Mode::kHelp:
      WriteStandardOutput(HelpText());
      return kestrelon::names::kSuccess;
    case Mode::kVersion:
      WriteStandardOutput(VersionText());
      return kestrelon::names::kSuccess;
    case Mode::kSort:
      return RunSortCommand(command);
    case Mode::kCompare:
      return RunCompareCommand(command);
    case Mode::kRoutes:
      return RunRoutesCommand(command);
    case Mode::kDiff:
      return RunDiffCommand(command);
    case Mode::kMerge:
      return RunMergeCommand(command);
  }
  return kestrelon::names::kTrouble;
}

}  // namespace

int main(int argc, char* argv[]) {
  using namespace kestrelon::cli;
  kestrelon::files::InstallSignalCleanup();
  try {
    const CommandLine command = ParseCommandLine(kestrelon::files::ProgramStart(argc, argv));
    if (command.output) {
      // Its result in place, a run has succeeded: a late Ctrl+C must not report a failure.
      kestrelon::files::SucceedAtCommit();
    }
    return Run(command);
  } catch (const UsageError& error) {
    std::cerr << "kestrelon-cli: " << error.what() << "; try 'kestrelon-cli --help'\n";
  } catch (const std::exception& error) {
    std::cerr << "kestrelon-cli: " << error.what() << '\n';
  }
  return kestrelon::names::kTrouble;
}
