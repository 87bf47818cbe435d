// The route diff: reads a capture taken before a change and one taken after it as route
// tables, pairs their routes by VRF, address family and prefix, and reports each route removed,
// added or changed (naming what changed) to a sink. Next hops compare as a set, so the same
// equal-cost paths printed in another order are equal.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tables/route_diff_sink.h"
#include "tables/table_reader.h"

namespace kestrelon::tables {

struct DiffCapture {
  std::string_view text;  // the whole capture
  std::string source;     // the name the report gives it
  std::string name;       // the name errors give it
  // Called, when set, on the thread that read the capture once its text is no longer needed: a
  // large mapped file is then unmapped while the other capture is still being read.
  std::function<void()> release = nullptr;
  // Lines a cleaning pass recognised before reading (number from 1, and kind), counted as such
  // whatever the reader makes of their cleaned text.
  std::vector<std::pair<std::size_t, LineKind>> knownLines = {};
};

struct DiffOptions {
  std::optional<Platform> platform;  // none: decided from each capture
  RouteFields ignored{RouteField::kUptime};
  std::vector<std::string> vrfs;  // only these VRFs; empty: every one
  // A VRF asked for that neither capture has is no error: the pair has no route in it (a
  // fleet's routers need not all have every VRF).
  bool vrfsMayBeMissing = false;
  bool strict = false;  // a line not understood in either capture is an error
  // Everything on the calling thread: both captures read one after the other (each held whole
  // until paired), for a caller that runs one diff per core itself.
  bool oneThread = false;
};

// Reads both captures (at once, one on each core), pairs their routes and reports the summary
// and every change to sink. Routes found equal as both captures are read are never held, so
// memory grows with the changes, not with the tables (unless a capture is printed out of key
// order). Returns the number of changes. Throws FileError naming the capture
// that cannot be placed or holds no route (or, strict, a line not understood), or a VRF asked
// for that neither capture has (unless vrfsMayBeMissing).
std::size_t DiffRouteCaptures(const DiffCapture& before, const DiffCapture& after,
                              const DiffOptions& options, RouteDiffSink& sink);

// What changed between two routes of one prefix, leaving out the fields ignored. Across two
// platforms, protocols compare by source and metrics only where both print one; distances
// (each platform's own scale), flags and interface names (each platform's own scheme) are not
// compared.
RouteFields CompareRoutes(const RouteView& before, const RouteView& after, RouteFields ignored,
                          bool acrossPlatforms = false);

}  // namespace kestrelon::tables
