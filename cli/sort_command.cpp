#include "cli/sort_command.h"

#include "cli/run_files.h"
#include "cli/standard_streams.h"
#include "files/private_folder.h"
#include "routes/route_line_parser.h"
#include "routes/sort_pipeline.h"

namespace kestrelon::cli {

names::ExitCode RunSortCommand(const CommandLine& command) {
  files::PrivateFolder folder;
  const std::string input = ReadableInput(command.inputs[0], folder, 1);
  // Writing over the input is allowed, as in the window: the sort has read it completely.
  const std::string result = command.output ? *command.output : folder.NewFile("sorted");

  routes::RouteLineParser parser;
  routes::SortPipeline pipeline(parser);
  try {
    pipeline.RunSort(1, input, result, command.options);
  } catch (const FileError& error) {
    RethrowForStandardOutput(error, command.output ? std::string() : result);
  }
  if (!command.output) {
    CopyFileToStandardOutput(result);
  }
  return names::kSuccess;
}

}  // namespace kestrelon::cli
