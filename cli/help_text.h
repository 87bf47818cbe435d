// What kestrelon-cli prints for --help and --version.
#pragma once

#include <string>

namespace kestrelon::cli {

// The usage, the options, the exit statuses and an example; ends with a line feed.
std::string HelpText();

// "kestrelon-cli MAJOR.MINOR" with the minor number as two digits, and a line feed.
std::string VersionText();

}  // namespace kestrelon::cli
