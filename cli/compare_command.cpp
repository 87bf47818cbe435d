#include "cli/compare_command.h"

#include "cli/run_files.h"
#include "cli/standard_streams.h"
#include "files/private_folder.h"
#include "routes/compare_run.h"
#include "routes/route_line_parser.h"
#include "routes/sort_pipeline.h"

namespace kestrelon::cli {

names::ExitCode RunCompareCommand(const CommandLine& command) {
  files::PrivateFolder folder;
  routes::CompareRequest request;
  for (int i = 0; i < 2; ++i) {
    request.inputs[i] = ReadableInput(command.inputs[i], folder, i + 1);
    request.headerNames[i] = command.inputs[i];
    if (command.keepSortedIn) {
      request.sortResults[i] = KeptSortResultName(*command.keepSortedIn, command.inputs[i], i + 1);
    }
  }
  request.keepSortResults = command.keepSortedIn.has_value();
  request.diffFile = command.output ? *command.output : folder.NewFile("differences");
  request.userOptions = command.options;

  routes::RouteLineParser parser;
  routes::SortPipeline pipeline(parser);
  std::int64_t blocks = 0;
  try {
    blocks = routes::RunCompare(pipeline, request);
  } catch (const FileError& error) {
    RethrowForStandardOutput(error, command.output ? std::string() : request.diffFile);
  }
  if (!command.output) {
    CopyFileToStandardOutput(request.diffFile);
  }
  return blocks == 0 ? names::kSuccess : names::kDifferences;
}

}  // namespace kestrelon::cli
