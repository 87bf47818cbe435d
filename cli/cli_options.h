// The command line of kestrelon-cli turned into a value: the mode, the sort options, the names.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "fleet/fleet_run.h"
#include "report/report_language.h"
#include "routes/sort_options.h"
#include "tables/route_diff_sink.h"
#include "tables/table_reader.h"

namespace kestrelon::cli {

enum class Mode { kHelp, kVersion, kSort, kCompare, kRoutes, kDiff, kMerge };

// What routes, diff and merge write (HTML: diff and merge only).
enum class RoutesFormat { kJson, kCsv, kText, kHtml };

// Standard input as an input name, and standard output as an output name.
inline constexpr const char* kStandardStream = "-";

struct CommandLine {
  Mode mode = Mode::kHelp;
  // Always followed: with no option given it is key 0 and item 0, the same output as not
  // following the options.
  routes::SortOptions options;
  std::vector<std::string> inputs;          // sort: one; compare, diff: before, after; "-" is stdin
  std::optional<std::string> output;        // none: standard output
  std::optional<std::string> keepSortedIn;  // compare only: the folder for the two sort results
  // routes and diff:
  std::optional<tables::Platform> platform;   // none: decided from each capture
  RoutesFormat format = RoutesFormat::kJson;  // diff: text unless given
  bool verbose = false;  // routes: say on standard error which platform each capture was read as
  // diff only:
  tables::RouteFields ignored{tables::RouteField::kUptime};
  std::vector<std::string> vrfs;  // only these VRFs; empty: every one
  bool strict = false;            // a line not understood in either capture is an error
  // diff of two folders only:
  fleet::PairBy pairBy = fleet::PairBy::kAuto;
  bool pairByGiven = false;
  std::size_t jobs = 0;  // 0: one per core
  std::optional<fleet::Shard> shard;
  // diff and merge, for HTML: none: from the locale
  std::optional<report::Language> language;
};

// A command line that cannot be run; main adds the hint to --help.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Parses the arguments after the program name. --help or --version anywhere before "--" wins
// over everything else. Throws UsageError.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The key number of a --key value ("dest" 0 ... "proto-next-hop" 5); throws UsageError.
int ParseKeyName(const std::string& name);

}  // namespace kestrelon::cli
