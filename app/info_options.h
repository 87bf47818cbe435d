// The two informational options, --help and --version, answered before any window opens.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kestrelon::app {

// The text to print when the only argument is "--help" or "--version"; nothing otherwise.
std::optional<std::string> InfoOptionText(const std::vector<std::string>& args);

}  // namespace kestrelon::app
