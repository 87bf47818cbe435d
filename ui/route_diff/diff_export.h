// Export of what the route diff window shows: the report of kestrelon-cli diff (CSV, JSON or
// text, by the core's own writers) over the rows that pass the filters, and the selected rows
// as tab-separated text for the clipboard.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tables/byte_sink.h"
#include "ui/route_diff/change_filter.h"
#include "ui/route_diff/change_rows.h"

namespace kestrelon::ui::route_diff {

enum class ExportFormat { kCsv, kJson, kText };

// The summary of the rows shown: whole is the summary of the diff (of the chosen VRF alone when
// the filter names one); the VRF and protocol tables keep the rows the filter lets through, and
// their changes are counted again over the shown rows. With a filter that narrows nothing, it
// is whole itself.
tables::DiffSummary ShownSummary(const tables::DiffSummary& whole,
                                 const std::vector<ChangeRow>& rows,
                                 const std::vector<std::uint32_t>& shown,
                                 const ChangeFilter& filter);

// Writes the report of the shown rows in the core's order.
void WriteReport(ExportFormat format, const tables::DiffSummary& summary,
                 const std::vector<ChangeRow>& rows, std::vector<std::uint32_t> shown,
                 tables::ByteSink& out);

// A heading line, then one line a row: change, vrf, afi, prefix, fields, then protocol,
// distance/metric, next hops and uptime before and after. Tabs and line ends inside a cell
// become blanks.
std::string TabSeparated(const std::vector<ChangeRow>& rows,
                         const std::vector<std::uint32_t>& selected);

}  // namespace kestrelon::ui::route_diff
