// The first pass of a route diff, while both captures are still being read: pairs the routes of
// the two streams as long as both come in key order and drops the pairs whose records are the
// same bytes. Every other route goes to the side that keeps it for the diff proper, and so does
// every route from the point where either stream leaves the order; pairing what is kept gives
// the same changes as pairing everything.
#pragma once

#include <string>
#include <vector>

#include "tables/diff_side.h"
#include "tables/diff_stream.h"
#include "tables/route_diff_sink.h"

namespace kestrelon::tables {

// onlyVrfs: the VRFs whose routes count (empty: every one); the others are dropped.
void KeepWhatMayDiffer(DiffStream& before, DiffStream& after,
                       const std::vector<std::string>& onlyVrfs, RouteFields ignored,
                       DiffSide& keepBefore, DiffSide& keepAfter);

}  // namespace kestrelon::tables
