#include "ui/route_diff/diff_export.h"

#include <algorithm>
#include <map>
#include <memory>

#include "tables/diff_csv_writer.h"
#include "tables/diff_json_writer.h"
#include "tables/diff_text_writer.h"
#include "tables/text_writer.h"

namespace kestrelon::ui::route_diff {
namespace {

void Count(tables::DiffCounts& counts, tables::RouteChange change) {
  (change == tables::RouteChange::kRemoved ? counts.removed
   : change == tables::RouteChange::kAdded ? counts.added
                                           : counts.changed) += 1;
}

void ClearChanges(tables::DiffCounts& counts) {
  counts.removed = counts.added = counts.changed = 0;
}

std::unique_ptr<tables::RouteDiffSink> Writer(ExportFormat format, tables::ByteSink& out) {
  switch (format) {
    case ExportFormat::kCsv:
      return std::make_unique<tables::CsvDiffWriter>(out);
    case ExportFormat::kJson:
      return std::make_unique<tables::JsonDiffWriter>(out);
    case ExportFormat::kText:
      break;
  }
  return std::make_unique<tables::TextDiffWriter>(out);
}

std::string Cell(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  return text;
}

}  // namespace

tables::DiffSummary ShownSummary(const tables::DiffSummary& whole,
                                 const std::vector<ChangeRow>& rows,
                                 const std::vector<std::uint32_t>& shown,
                                 const ChangeFilter& filter) {
  if (!filter.Narrows()) {
    return whole;
  }
  tables::DiffSummary summary = whole;
  std::erase_if(summary.vrfs,
                [&](const auto& row) { return !filter.vrf.empty() && row.first != filter.vrf; });
  std::erase_if(summary.protocols, [&](const auto& row) {
    return !filter.protocol.empty() && row.first != filter.protocol;
  });
  std::map<std::string, tables::DiffCounts*, std::less<>> vrfs;
  std::map<std::string, tables::DiffCounts*, std::less<>> protocols;
  for (auto& [name, counts] : summary.vrfs) {
    ClearChanges(counts);
    vrfs[name] = &counts;
  }
  for (auto& [name, counts] : summary.protocols) {
    ClearChanges(counts);
    protocols[name] = &counts;
  }
  // As the core counts them: under the protocol before, and under the one after when it differs.
  for (const std::uint32_t index : shown) {
    const ChangeRow& row = rows[index];
    if (const auto vrf = vrfs.find(row.route().vrf); vrf != vrfs.end()) {
      Count(*vrf->second, row.change);
    }
    const std::string* before = row.before ? &row.before->protocol : nullptr;
    for (const std::string* protocol : {before, row.after ? &row.after->protocol : nullptr}) {
      if (protocol == nullptr ||
          (protocol != before && before != nullptr && *protocol == *before)) {
        continue;
      }
      if (const auto at = protocols.find(*protocol); at != protocols.end()) {
        Count(*at->second, row.change);
      }
    }
  }
  summary.total = {};
  for (const auto& [name, counts] : summary.vrfs) {
    summary.total += counts;
  }
  return summary;
}

void WriteReport(ExportFormat format, const tables::DiffSummary& summary,
                 const std::vector<ChangeRow>& rows, std::vector<std::uint32_t> shown,
                 tables::ByteSink& out) {
  std::sort(shown.begin(), shown.end());
  const std::unique_ptr<tables::RouteDiffSink> writer = Writer(format, out);
  Replay(summary, rows, shown, *writer);
}

std::string TabSeparated(const std::vector<ChangeRow>& rows,
                         const std::vector<std::uint32_t>& selected) {
  std::string text =
      "change\tvrf\tafi\tprefix\tfields\tbefore_protocol\tbefore_cost\tbefore_next_hops\t"
      "before_uptime\tafter_protocol\tafter_cost\tafter_next_hops\tafter_uptime\n";
  std::vector<tables::NextHopView> hops;
  for (const std::uint32_t index : selected) {
    const ChangeRow& row = rows[index];
    const RouteCopy& route = row.route();
    std::string fields;
    for (const tables::RouteField field : row.fields.List()) {
      fields.append(fields.empty() ? "" : ";").append(tables::RouteFieldName(field));
    }
    text.append(tables::RouteChangeName(row.change)).append("\t").append(Cell(route.vrf));
    text.append("\t").append(tables::AfiName(route.afi)).append("\t").append(Cell(route.prefix));
    text.append("\t").append(fields);
    for (const auto* side : {&row.before, &row.after}) {
      if (!*side) {
        text.append("\t\t\t\t");
        continue;
      }
      const tables::RouteView view = (*side)->View(hops);
      text.append("\t").append(Cell((*side)->protocol));
      text.append("\t").append(Cell(tables::CostText(view)));
      text.append("\t").append(Cell(tables::NextHopsText(view)));
      text.append("\t").append(Cell((*side)->uptime.value_or("")));
    }
    text.append("\n");
  }
  return text;
}

}  // namespace kestrelon::ui::route_diff
