// Where one run reads and writes: inputs the core can read, the names of kept sort results, the
// result file (named, or private behind standard output), and how a failure to write a result
// meant for standard output is told.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "cli/cli_options.h"

#include "files/file_error.h"
#include "files/file_writer.h"
#include "files/private_folder.h"

namespace kestrelon::cli {

// The file the core reads for an input operand. Standard input ("-") and inputs that are not
// regular files (pipes, process substitution) are first copied whole into the private folder,
// as the core maps its input; anything else is the operand itself. With textOnly, a copied input
// that turns out not to be text (a NUL byte) is refused as soon as that shows. Throws FileError.
std::string ReadableInput(const std::string& operand, files::PrivateFolder& folder, int side,
                          bool textOnly = false);

// The input as messages name it: "standard input" for "-", else the operand.
std::string InputName(const std::string& operand);

// The name a kept sort result gets in folder: the operand's file name without its extension
// ("stdin" for "-"), then ".sorted1" or ".sorted2" by side.
std::string KeptSortResultName(const std::string& folder, const std::string& operand, int side);

// A failure to write privateName, the private file behind standard output, names that file and
// says what it is for; other failures are rethrown as they are.
[[noreturn]] void RethrowForStandardOutput(const FileError& error, const std::string& privateName);

// Throws FileError when the output file names one of the inputs (another spelling, a link):
// the result would destroy what it is made from.
void RefuseOutputOverInputs(const CommandLine& command);

// Runs write on the result: the file output names, put in place only when write succeeds, or
// without one a private file of folder (privateName) that goes to standard output once complete.
void WriteResult(const std::optional<std::string>& output, files::PrivateFolder& folder,
                 const std::string& privateName,
                 const std::function<void(files::OutputFile&)>& write);

}  // namespace kestrelon::cli
