// Staging: repairs what a terminal capture broke, one staged line per input line. Backspaces
// are applied, an entry wrapped onto two lines is joined, and each extra path of a multi-path
// entry gets the destination part of the line above and the continuation marker " *".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "files/line_sink.h"

namespace kestrelon::routes {

// Stages every line of input into sink; returns the number of staged lines.
std::int64_t StageLines(std::string_view input, LineSink& sink);

// Applies the backspaces of a line: each one removes itself and the character before it
// (a backspace at the very start removes only itself).
std::string ApplyBackspaces(std::string_view line);

}  // namespace kestrelon::routes
