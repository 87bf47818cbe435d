// The fleet report as one JSON document: what was asked ("before", "after", "made",
// "options", and "shard" for a share), the "summary" of all devices, then "devices": each with
// its status and captures and, where it was diffed, the two-file diff's "summary" and
// "changes" (one change a line). The document merge reads shares back from.
#pragma once

#include "report/fleet_report.h"
#include "tables/byte_sink.h"

namespace kestrelon::report {

void WriteFleetJson(const FleetReport& report, tables::ByteSink& out);

}  // namespace kestrelon::report
