#include "cli/run_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include "cli/cli_options.h"
#include "cli/standard_streams.h"
#include "names/output_names.h"

namespace kestrelon::cli {

std::string ReadableInput(const std::string& operand, files::PrivateFolder& folder, int side) {
  if (operand == kStandardStream) {
    const std::string copy = folder.NewFile("input" + std::to_string(side));
    CopyDescriptorToFile(STDIN_FILENO, kStandardInputName, copy);
    return copy;
  }
  struct stat info {};
  if (::stat(operand.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
    const std::string copy = folder.NewFile("input" + std::to_string(side));
    CopyToFile(operand, copy);
    return copy;
  }
  return operand;  // missing, unreadable or a folder: the core reports it by this name
}

std::string KeptSortResultName(const std::string& folder, const std::string& operand, int side) {
  std::string base = "stdin";
  if (operand != kStandardStream) {
    const std::size_t slash = operand.rfind('/');
    base = names::StripExtension(slash == std::string::npos ? operand : operand.substr(slash + 1));
  }
  const std::string separator = folder.ends_with('/') ? "" : "/";
  return folder + separator + base + ".sorted" + std::to_string(side);
}

void RethrowForStandardOutput(const FileError& error, const std::string& privateName) {
  if (error.path() != privateName) {
    throw error;
  }
  throw FileError(error.operation(), kStandardOutputName, error.errnum());
}

}  // namespace kestrelon::cli
