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

// One staged line as staging hands it on. Most lines are the input's own bytes: the sort then
// reads them from the input again instead of keeping a copy.
struct StagedLine {
  std::string_view text;      // valid until the next line is handed on
  std::size_t source = 0;     // byte offset in the input of the line it was made from
  bool unchanged = false;     // text is the input's line at source, as it stands
  bool expanded = false;      // an extra path expanded here (its text ends in " *")
  bool tableHeading = false;  // a "Routing Table:" heading, which starts a table
  // Where the input's next line begins in text when the two were joined as one wrapped entry
  // (the line after it was consumed); 0 when they were not.
  std::size_t joinedAt = 0;
};

class StagedLineSink {
 public:
  virtual ~StagedLineSink() = default;
  virtual void Take(const StagedLine& line) = 0;
};

// Stages every line of input into sink, in order; returns the number of staged lines.
std::int64_t StageLines(std::string_view input, StagedLineSink& sink);

// What staging knows of its lines beside their text, as 0-based staged line numbers in
// ascending order. The writer goes by expanded, never by a line's last characters: a line of
// the capture may end in " *" itself (the prompt "R1#show ip route vrf *").
struct StagingMarks {
  std::vector<std::int64_t> expanded;  // extra paths expanded here (their text ends in " *")
  std::vector<std::int64_t> tables;    // "Routing Table:" headings, each starting a table
};

// The same into a line sink; with marks, also notes which lines were expanded and which head a
// routing table.
std::int64_t StageLines(std::string_view input, files::LineSink& sink,
                        StagingMarks* marks = nullptr);

// Applies the backspaces of a line: each one removes itself and the character before it
// (a backspace at the very start removes only itself).
std::string ApplyBackspaces(std::string_view line);

}  // namespace kestrelon::routes
