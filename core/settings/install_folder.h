// Whether a program runs from an installed place: then its settings belong to the user, never
// beside the program, whoever runs it and whatever the folder's permissions.
#pragma once

#include <string_view>

namespace kestrelon::settings {

// True when programFolder (absolute, '/' separators, links resolved) is installBinDir (the
// folder the build installs programs to) or lies under /usr. Trailing separators do not count.
bool IsInstalledProgramFolder(std::string_view programFolder, std::string_view installBinDir);

}  // namespace kestrelon::settings
