// Whether two names denote one file: the same text, the same normalised absolute path, or one
// existing file reached by both (a link, another spelling).
#pragma once

#include <string>

namespace kestrelon::files {

bool SameFile(const std::string& a, const std::string& b);

}  // namespace kestrelon::files
