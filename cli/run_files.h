// Where one run reads and writes: inputs the core can read, the names inside the private
// folder, and the names of kept sort results.
#pragma once

#include <optional>
#include <string>

#include "cli/private_folder.h"
#include "files/file_error.h"

namespace kestrelon::cli {

// The file the core reads for an input operand. Standard input ("-") and inputs that are not
// regular files (pipes, process substitution) are first copied whole into the private folder,
// as the core maps its input; anything else is the operand itself. Throws FileError.
std::string ReadableInput(const std::string& operand, const PrivateFolder& folder, int side);

// The staging file and the sort result of a side, both inside the private folder.
std::string PrivateStagingName(const PrivateFolder& folder, int side);
std::string PrivateSortResultName(const PrivateFolder& folder, int side);
// The compare's difference file inside the private folder.
std::string PrivateDifferenceName(const PrivateFolder& folder);

// The name a kept sort result gets in folder: the operand's file name without its extension
// ("stdin" for "-"), then ".sorted1" or ".sorted2" by side.
std::string KeptSortResultName(const std::string& folder, const std::string& operand, int side);

// A failure to write the private copy of a result is told with the name the user gave for it
// ("standard output" without one); other failures are rethrown as they are.
[[noreturn]] void RethrowForUser(const FileError& error, const std::string& privateName,
                                 const std::optional<std::string>& userName);

}  // namespace kestrelon::cli
