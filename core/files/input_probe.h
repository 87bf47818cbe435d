// Whether an input can be read, asked before a job writes anything.
#pragma once

#include <string>

namespace kestrelon::files {

// Throws FileError naming path and the reason when it cannot be opened for reading or is a
// folder.
void EnsureReadable(const std::string& path);

}  // namespace kestrelon::files
