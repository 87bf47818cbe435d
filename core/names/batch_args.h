// The command line of batch mode: rebuilding the argument text and splitting it into names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrelon::names {

struct BatchNames {
  std::string first;
  std::string second;
  bool firstGiven = false;   // a first name was completed (it may still be empty: "")
  bool secondGiven = false;  // a second name was completed
};

// The argument text as the program would have received it in one piece: each argument wrapped
// in double quotes, joined by one blank, so a name with blanks stays whole.
std::string JoinArguments(const std::vector<std::string>& args);

// Splits up to two names off the argument text: a name runs to the next blank, or once a double
// quote was met to the next double quote; blanks between names are skipped; the rest is ignored.
BatchNames SplitBatchArguments(std::string_view argumentText);

}  // namespace kestrelon::names
