#include "report/fleet_json_writer.h"

#include "report/diff_document.h"
#include "tables/json_output.h"

namespace kestrelon::report {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

void OptionalText(tables::JsonOutput& json, const std::optional<std::string>& text) {
  text ? json.Text(*text) : json.Null();
}

void Header(tables::JsonOutput& json, const FleetHeader& header) {
  json.Raw("{\"kestrelon\":\"folder diff\",\"before\":");
  json.Text(header.beforeFolder);
  json.Raw(",\"after\":");
  json.Text(header.afterFolder);
  json.Raw(",\"made\":");
  json.Text(header.made);
  json.Raw(",\r\n\"options\":{\"platform\":");
  json.Text(header.platform);
  json.Raw(",\"ignored\":[");
  bool first = true;
  for (const tables::RouteField field : header.ignored.List()) {
    json.Raw(first ? "" : ",");
    json.Text(tables::RouteFieldName(field));
    first = false;
  }
  json.Raw("],\"vrfs\":[");
  for (std::size_t i = 0; i < header.vrfs.size(); ++i) {
    json.Raw(i > 0 ? "," : "");
    json.Text(header.vrfs[i]);
  }
  json.Raw(header.strict ? "],\"strict\":true" : "],\"strict\":false");
  json.Raw(",\"pair_by\":");
  json.Text(header.pairBy);
  json.Raw("}");
  if (header.shardCount > 0) {
    json.Raw(",\r\n\"shard\":{\"index\":");
    json.Number(header.shardIndex);
    json.Raw(",\"count\":");
    json.Number(header.shardCount);
    json.Raw("}");
  }
}

void Summary(tables::JsonOutput& json, const FleetTotals& totals) {
  const std::pair<std::string_view, std::size_t> fields[] = {
      {",\r\n\"summary\":{\"devices\":", totals.devices},
      {",\"same\":", totals.same},
      {",\"changed\":", totals.changed},
      {",\"missing_before\":", totals.missingBefore},
      {",\"missing_after\":", totals.missingAfter},
      {",\"unreadable\":", totals.unreadable},
      {",\"routes_before\":", totals.routes.before},
      {",\"routes_after\":", totals.routes.after},
      {",\"routes_removed\":", totals.routes.removed},
      {",\"routes_added\":", totals.routes.added},
      {",\"routes_changed\":", totals.routes.changed},
  };
  for (const auto& [key, value] : fields) {
    json.Raw(key);
    json.Number(value);
  }
  json.Raw("}");
}

void Device(tables::JsonOutput& json, const DeviceResult& device) {
  json.Raw("{\"device\":");
  json.Text(device.device);
  json.Raw(",\"status\":");
  json.Text(DeviceStatusName(device.status));
  json.Raw(",\"paired_by\":");
  device.pairedBy.empty() ? json.Null() : json.Text(device.pairedBy);
  json.Raw(",\"before\":");
  OptionalText(json, device.beforeFile);
  json.Raw(",\"after\":");
  OptionalText(json, device.afterFile);
  const auto platform = [&](const std::optional<tables::Platform>& p) {
    p ? json.Text(tables::PlatformName(*p)) : json.Null();
  };
  json.Raw(",\"platform_before\":");
  platform(device.platformBefore);
  json.Raw(",\"platform_after\":");
  platform(device.platformAfter);
  const std::pair<std::string_view, std::size_t> counts[] = {
      {",\"routes_before\":", device.counts.before},
      {",\"routes_after\":", device.counts.after},
      {",\"removed\":", device.counts.removed},
      {",\"added\":", device.counts.added},
      {",\"changed\":", device.counts.changed},
      {",\"not_understood_before\":", device.notUnderstoodBefore},
      {",\"not_understood_after\":", device.notUnderstoodAfter}};
  for (const auto& [key, value] : counts) {
    json.Raw(key);
    json.Number(value);
  }
  json.Raw(",\"reason\":");
  device.reason.empty() ? json.Null() : json.Text(device.reason);
  if (device.diffDocument.empty()) {
    json.Raw(",\"summary\":null,\"changes\":[]}");
    return;
  }
  const std::unique_ptr<DiffDocument> diff = DiffDocument::Load(device.diffDocument);
  json.Raw(",\r\n\"summary\":");
  json.Raw(diff->Compact("summary"));
  json.Raw(",\r\n\"changes\":[");
  for (std::size_t i = 0; i < diff->changes(); ++i) {
    json.Raw(i > 0 ? ",\r\n" : "\r\n");
    json.Raw(diff->CompactChange(i));
  }
  json.Raw(diff->changes() > 0 ? "\r\n]}" : "]}");
}

}  // namespace

void WriteFleetJson(const FleetReport& report, tables::ByteSink& out) {
  tables::JsonOutput json(out);
  Header(json, report.header);
  Summary(json, report.Totals());
  json.Raw(",\r\n\"devices\":[");
  for (std::size_t i = 0; i < report.devices.size(); ++i) {
    json.Raw(i > 0 ? ",\r\n" : "\r\n");
    Device(json, report.devices[i]);
    json.Flush();
  }
  json.Raw(report.devices.empty() ? "]}" : "\r\n]}");
  json.Raw(kLineEnd);
  json.Flush();
}

}  // namespace kestrelon::report
