// What the command line says on standard error of how a capture was read: the whole account
// under --verbose, a warning when lines were not understood.
#pragma once

#include <ostream>
#include <string_view>

#include "tables/line_accounting.h"

namespace kestrelon::cli {

// The platform and what decided it, the lines of each kind, the first 10 lines not understood
// and the routes that took their class's length.
void DescribeReading(std::ostream& err, std::string_view name, const tables::ReadingReport& report);

// A warning when lines were not understood (nothing otherwise), with the first of them and
// hint, what the user can do about it.
void WarnNotUnderstood(std::ostream& err, std::string_view name,
                       const tables::ReadingReport& report, std::string_view hint);

}  // namespace kestrelon::cli
