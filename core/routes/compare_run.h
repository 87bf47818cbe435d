// One whole compare, the same for the window, batch mode and kestrelon-cli: the names checked,
// both captures sorted with the options forced for the compare, the difference file written,
// and every result put in place only when all of it succeeded. A front end shows what happens
// through CompareHooks (the window sets its option controls and colours its boxes).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "routes/sort_options.h"
#include "routes/sort_pipeline.h"

namespace kestrelon::routes {

struct CompareRequest {
  std::array<std::string, 2> inputs;  // before, after
  // Where the two sort results go when they are kept; otherwise they live in a private folder
  // and these names are not used.
  std::array<std::string, 2> sortResults;
  std::string diffFile;
  std::array<std::string, 2> headerNames;  // as the header lines name the inputs; empty: inputs
  SortOptions userOptions;                 // the compare forces its own from these
  bool keepSortResults = false;
};

// What a front end adds to a compare. Each call does nothing unless overridden, and none may
// throw.
class CompareHooks {
 public:
  virtual ~CompareHooks() = default;
  // The sorts are about to run with forced; the front end may show them.
  virtual void OptionsForced(const SortOptions& /*forced*/) {}
  // The sort of side (1 or 2) starts.
  virtual void SortStarting(int /*side*/) {}
  // The compare is over, done or failed: the user's options hold again.
  virtual void OptionsRestored(const SortOptions& /*user*/) {}
};

// Refuses, before anything is written, names that would make the compare replace a file it
// reads: the difference file named like an input or, when the sort results are kept, like one
// of them; kept sort results named like an input or like each other. Throws FileError.
void CheckCompareNames(const CompareRequest& request);
// Throws FileError for an input that cannot be read, or that holds no route line (nothing to
// compare; named as the header names it).
void CheckInputsReadable(const CompareRequest& request);

// Runs the compare and returns the number of difference blocks. The staging files and the sort
// results that are not kept go into a private folder; kept sort results and the difference file
// are written beside their names and put in place together at the end. On any failure the
// user's files are as they were before, and the FileError is rethrown.
std::int64_t RunCompare(SortPipeline& pipeline, const CompareRequest& request, CompareHooks& hooks);
std::int64_t RunCompare(SortPipeline& pipeline, const CompareRequest& request);

}  // namespace kestrelon::routes
