// What the writer does to each staged line in sorted order: an expanded path is printed
// indented again under a line with the same destination part, and the information filter cuts
// interface, time or cost information, or all but the destination, from route-shaped lines.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "routes/sort_options.h"

namespace kestrelon::routes {

// A route entry's shape: the code in columns 1 to 4, a blank or a flag in column 5, and the
// destination from column 9, or from column 10 as routers of the last decade print it.
bool IsRouteShaped(std::string_view line);

// The cuts of the checked filter items on a route-shaped line, in their fixed order.
std::string ApplyInfoFilter(std::string_view line, const std::array<bool, 6>& infoDel);

class SortedLineWriter {
 public:
  explicit SortedLineWriter(const SortOptions& options)
      : infoDel_(options.infoDel),
        // Item 0 alone cuts nothing: such lines need not even be looked at.
        cuts_(options.FilterActive() &&
              (infoDel_[1] || infoDel_[2] || infoDel_[3] || infoDel_[4] || infoDel_[5])) {}

  // The output line for the next staged line; expanded: staging made it from an extra path
  // (its text then ends in the marker " *"). The view is valid until the next call. Each staged
  // line must stay valid until the next call has returned.
  std::string_view Process(std::string_view staged, bool expanded);

 private:
  std::array<bool, 6> infoDel_;
  bool cuts_;
  std::string_view previous_;        // the last line, marker removed, before re-indenting
  std::size_t previousBracket_ = 0;  // the position of its first "[", when known
  bool previousBracketKnown_ = false;
  bool detached_ = false;
  std::string line_;  // a line indented again
  std::string cut_;   // lines cut in the middle
  std::string cutOther_;
};

}  // namespace kestrelon::routes
