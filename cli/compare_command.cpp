#include "cli/compare_command.h"

#include <array>

#include "cli/private_folder.h"
#include "cli/run_files.h"
#include "cli/staged_outputs.h"
#include "cli/standard_streams.h"
#include "routes/route_compare.h"
#include "routes/route_line_parser.h"
#include "routes/sort_pipeline.h"

namespace kestrelon::cli {

ExitCode RunCompareCommand(const CommandLine& command) {
  const PrivateFolder folder;

  // Everything is computed in the private folder and delivered at the end.
  routes::CompareRequest request;
  for (int i = 0; i < 2; ++i) {
    const int side = i + 1;
    request.inputs[i] = ReadableInput(command.inputs[i], folder, side);
    request.stagingFiles[i] = PrivateStagingName(folder, side);
    request.sortResults[i] = PrivateSortResultName(folder, side);
    request.headerNames[i] = command.inputs[i];
  }
  request.diffFile = PrivateDifferenceName(folder);
  request.userOptions = command.options;
  request.keepSortResults = command.keepSortedIn.has_value();

  // Refuse, before any work, delivered names that would replace an input or each other.
  std::array<std::string, 2> kept;
  routes::CompareRequest delivered = request;
  for (int i = 0; i < 2; ++i) {
    if (command.inputs[i] != kStandardStream) {
      delivered.inputs[i] = command.inputs[i];
    }
    if (command.keepSortedIn) {
      kept[i] = KeptSortResultName(*command.keepSortedIn, command.inputs[i], i + 1);
      delivered.sortResults[i] = kept[i];
    }
  }
  if (command.output) {
    delivered.diffFile = *command.output;
  }
  routes::CheckCompareNames(delivered);

  routes::RouteLineParser parser;
  routes::SortPipeline pipeline(parser);
  std::int64_t blocks = 0;
  try {
    blocks = routes::RunCompare(pipeline, request);
  } catch (const FileError& error) {
    RethrowForUser(error, request.diffFile, command.output);
  }

  StagedOutputs outputs;
  if (command.keepSortedIn) {
    for (int i = 0; i < 2; ++i) {
      outputs.Add(request.sortResults[i], kept[i]);
    }
  }
  if (command.output) {
    outputs.Add(request.diffFile, *command.output);
  }
  outputs.Commit();
  if (!command.output) {
    CopyFileToStandardOutput(request.diffFile);
  }
  return blocks == 0 ? kSuccess : kDifferences;
}

}  // namespace kestrelon::cli
