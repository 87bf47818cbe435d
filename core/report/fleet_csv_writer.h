// The fleet report as CSV (RFC 4180): the two-file diff's columns after a "device" column, one
// row per change, devices in name order. A device missing on one side or unreadable gets one
// row of its own (change "missing_before", "missing_after" or "unreadable", the file or the
// reason in the fields column), as do lines not understood.
#pragma once

#include "report/fleet_report.h"
#include "tables/byte_sink.h"

namespace kestrelon::report {

void WriteFleetCsv(const FleetReport& report, tables::ByteSink& out);

}  // namespace kestrelon::report
