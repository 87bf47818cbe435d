// The fleet report as one HTML page: what was asked, the devices' table with their status
// and counts, a bar chart (inline SVG) of each changed device's removed, added and changed
// routes, then each changed device's diff as the two-file diff's HTML shows it.
#pragma once

#include "report/fleet_report.h"
#include "report/report_language.h"
#include "tables/byte_sink.h"

namespace kestrelon::report {

void WriteFleetHtml(const FleetReport& report, tables::ByteSink& out, Language language);

}  // namespace kestrelon::report
