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
  explicit SortedLineWriter(const SortOptions& options) : options_(options) {}

  // The output line for the next staged line; expanded: staging made it from an extra path
  // (its text then ends in the marker " *"). The view is valid until the next call and while
  // staged stays valid.
  std::string_view Process(std::string_view staged, bool expanded);

 private:
  SortOptions options_;
  std::string previous_;  // the last line, marker removed, before re-indenting
  bool detached_ = false;
  std::string line_;
};

}  // namespace kestrelon::routes
