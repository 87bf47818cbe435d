#include "cli/run_files.h"

#include <cstring>
#include <optional>

#include "cli/cli_options.h"
#include "cli/standard_streams.h"
#include "files/platform.h"
#include "files/same_file.h"
#include "names/output_names.h"

namespace kestrelon::cli {
namespace {

// A pipe, a device or a socket: what the core cannot map.
bool OtherThanFileOrFolder(const std::string& path) {
  try {
    return files::KindOf(path) == files::FileKind::kOther;
  } catch (const FileError&) {
    return false;  // the core tells why it cannot be read
  }
}

}  // namespace

std::string ReadableInput(const std::string& operand, files::PrivateFolder& folder, int side,
                          bool textOnly) {
  std::optional<files::TextCheck> check;
  if (textOnly) {
    check.emplace(InputName(operand));
  }
  files::TextCheck* checking = check ? &*check : nullptr;
  if (operand == kStandardStream) {
    const std::string copy = folder.NewFile("input" + std::to_string(side));
    files::NativeFile input = files::NativeFile::StandardInput();
    CopyOpenFileToFile(input, kStandardInputName, copy, checking);
    return copy;
  }
  if (OtherThanFileOrFolder(operand)) {
    const std::string copy = folder.NewFile("input" + std::to_string(side));
    CopyToFile(operand, copy, checking);
    return copy;
  }
  return operand;  // missing, unreadable or a folder: the core reports it by this name
}

std::string InputName(const std::string& operand) {
  return operand == kStandardStream ? kStandardInputName : operand;
}

std::string KeptSortResultName(const std::string& folder, const std::string& operand, int side) {
  std::string base = "stdin";
  if (operand != kStandardStream) {
    base = names::StripExtension(files::FileNameOf(operand));
  }
  const std::string separator = folder.ends_with('/') ? "" : "/";
  return folder + separator + base + ".sorted" + std::to_string(side);
}

void RethrowForStandardOutput(const FileError& error, const std::string& privateName) {
  if (error.path() != privateName || error.errnum() == 0) {
    throw error;
  }
  // The private file is what could not be written ($TMPDIR full, say), not standard output.
  throw FileError(error.operation(), privateName, error.errnum(),
                  std::string(std::strerror(error.errnum())) + " (errno " +
                      std::to_string(error.errnum()) +
                      "); the result is held there until it is complete for standard output");
}

void RefuseOutputOverInputs(const CommandLine& command) {
  if (!command.output) {
    return;
  }
  for (const std::string& input : command.inputs) {
    if (input != kStandardStream && files::SameFile(*command.output, input)) {
      throw FileError("write", *command.output, 0,
                      "the result would replace \"" + input + "\", one of the files it reads");
    }
  }
}

void WriteResult(const std::optional<std::string>& output, files::PrivateFolder& folder,
                 const std::string& privateName,
                 const std::function<void(files::OutputFile&)>& write) {
  if (output) {
    files::AtomicOutputFile file(*output);
    write(file);
    file.Commit();
    return;
  }
  // Standard output gets the result only when it is complete.
  const std::string result = folder.NewFile(privateName);
  try {
    files::OutputFile file(result);
    write(file);
    file.Close();
  } catch (const FileError& error) {
    RethrowForStandardOutput(error, result);
  }
  CopyFileToStandardOutput(result);
}

}  // namespace kestrelon::cli
