// Staging: repairs what a terminal capture broke, one staged line per input line. Backspaces
// are applied, an entry wrapped onto two lines is joined, and each extra path of a multi-path
// entry gets the destination part of the line above and the continuation marker " *".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/line_sink.h"

namespace kestrelon::routes {

// What staging knows of its lines beside their text, as 0-based staged line numbers in
// ascending order. The writer goes by expanded, never by a line's last characters: a line of
// the capture may end in " *" itself (the prompt "R1#show ip route vrf *").
struct StagingMarks {
  std::vector<std::int64_t> expanded;  // extra paths expanded here (their text ends in " *")
  std::vector<std::int64_t> tables;    // "Routing Table:" headings, each starting a table
};

// Stages every line of input into sink; returns the number of staged lines. With marks, also
// notes which lines were expanded and which head a routing table.
std::int64_t StageLines(std::string_view input, LineSink& sink, StagingMarks* marks = nullptr);

// Applies the backspaces of a line: each one removes itself and the character before it
// (a backspace at the very start removes only itself).
std::string ApplyBackspaces(std::string_view line);

}  // namespace kestrelon::routes
