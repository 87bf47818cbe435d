// One run of the core's route diff for the window: maps both captures, reads them as route
// tables and keeps every change. It runs on a worker thread and never touches a widget.
#pragma once

#include <atomic>
#include <cstddef>
#include <optional>
#include <string>

#include "tables/route_diff.h"
#include "ui/route_diff/change_rows.h"

namespace kestrelon::ui::route_diff {

struct DiffRequest {
  std::string before;  // the files, as the system names them
  std::string after;
  std::string beforeSource;  // the names the report gives them
  std::string afterSource;
  tables::DiffOptions options;
  bool summaryOnly = false;  // stop once the summary is known
};

// The changes of the two captures; none when cancel was set meanwhile (or, with summaryOnly,
// the summary alone), with its progress in progress. Throws FileError naming the capture
// that cannot be read or placed.
std::optional<DiffResult> RunRouteDiff(const DiffRequest& request, const std::atomic<bool>& cancel,
                                       DiffProgress& progress);

}  // namespace kestrelon::ui::route_diff
