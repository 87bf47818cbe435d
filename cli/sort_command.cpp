#include "cli/sort_command.h"

#include "cli/private_folder.h"
#include "cli/run_files.h"
#include "cli/staged_outputs.h"
#include "cli/standard_streams.h"
#include "routes/route_line_parser.h"
#include "routes/sort_pipeline.h"

namespace kestrelon::cli {

ExitCode RunSortCommand(const CommandLine& command) {
  const PrivateFolder folder;
  const std::string input = ReadableInput(command.inputs[0], folder, 1);
  const std::string result = PrivateSortResultName(folder, 1);

  routes::RouteLineParser parser;
  routes::SortPipeline pipeline(parser);
  try {
    pipeline.RunSort(1, input, PrivateStagingName(folder, 1), result, command.options);
  } catch (const FileError& error) {
    RethrowForUser(error, result, command.output);
  }

  // Writing over the input is allowed, as in the window: the sort has read it completely.
  if (command.output) {
    StagedOutputs outputs;
    outputs.Add(result, *command.output);
    outputs.Commit();
  } else {
    CopyFileToStandardOutput(result);
  }
  return kSuccess;
}

}  // namespace kestrelon::cli
