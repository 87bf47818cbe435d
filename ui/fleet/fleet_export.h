// Export of the fleet window's report: the HTML, JSON or CSV report of kestrelon-cli diff on
// two folders, by the core's own writers, written whole or not at all.
#pragma once

#include <string>

#include "report/fleet_report.h"

namespace kestrelon::ui::fleet {

enum class FleetFormat { kHtml, kJson, kCsv };

// "html", "json", "csv".
const char* FormatExtension(FleetFormat format);

// Writes the report to target through a temporary file renamed over it. Throws FileError,
// also when target is one of the captures the report was made from.
void ExportFleet(const report::FleetReport& report, FleetFormat format, const std::string& target);

}  // namespace kestrelon::ui::fleet
