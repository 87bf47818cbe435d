#include "tables/diff_json_writer.h"

namespace kestrelon::tables {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

void JsonDiffWriter::Names(RouteFields fields) {
  json_.Raw("[");
  bool first = true;
  for (const RouteField field : fields.List()) {
    json_.Raw(first ? "" : ",");
    json_.Text(RouteFieldName(field));
    first = false;
  }
  json_.Raw("]");
}

void JsonDiffWriter::Counts(const DiffCounts& counts) {
  json_.Raw("\"routes_before\":");
  json_.Number(counts.before);
  json_.Raw(",\"routes_after\":");
  json_.Number(counts.after);
  json_.Raw(",\"removed\":");
  json_.Number(counts.removed);
  json_.Raw(",\"added\":");
  json_.Number(counts.added);
  json_.Raw(",\"changed\":");
  json_.Number(counts.changed);
}

void JsonDiffWriter::Begin(const DiffSummary& summary) {
  json_.Raw("{\"before\":");
  json_.Text(summary.beforeSource);
  json_.Raw(",\"after\":");
  json_.Text(summary.afterSource);
  json_.Raw(",\r\n\"summary\":{\"platform_before\":");
  json_.Text(PlatformName(summary.beforePlatform));
  json_.Raw(",\"platform_after\":");
  json_.Text(PlatformName(summary.afterPlatform));
  json_.Raw(",\"reading_before\":");
  json_.Reading(summary.beforeReading);
  json_.Raw(",\"reading_after\":");
  json_.Reading(summary.afterReading);
  json_.Raw(",\"ignored\":");
  Names(summary.ignored);
  json_.Raw(summary.acrossPlatforms ? ",\"across_platforms\":true" : ",\"across_platforms\":false");
  json_.Raw(",\"left_out_before\":");
  json_.Number(summary.leftOutBefore);
  json_.Raw(",\"left_out_after\":");
  json_.Number(summary.leftOutAfter);
  json_.Raw(",");
  Counts(summary.total);
  const auto parts = [&](std::string_view key, std::string_view name,
                         const std::vector<std::pair<std::string, DiffCounts>>& rows) {
    json_.Raw(key);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      json_.Raw(i > 0 ? ",{" : "{");
      json_.Raw(name);
      json_.Text(rows[i].first);
      json_.Raw(",");
      Counts(rows[i].second);
      json_.Raw("}");
    }
    json_.Raw("]");
  };
  parts(",\"vrfs\":[", "\"vrf\":", summary.vrfs);
  parts(",\"protocols\":[", "\"protocol\":", summary.protocols);
  json_.Raw("},\r\n\"changes\":[");
}

void JsonDiffWriter::Change(const RouteChangeEvent& change) {
  const RouteView& route = change.route();
  json_.Raw(changes_++ > 0 ? ",\r\n{\"vrf\":" : "\r\n{\"vrf\":");
  json_.Text(route.vrf);
  json_.Raw(",\"afi\":");
  json_.Text(AfiName(route.afi));
  json_.Raw(",\"prefix\":");
  json_.Text(route.prefix);
  json_.Raw(",\"change\":");
  json_.Text(RouteChangeName(change.change));
  json_.Raw(",\"fields\":");
  Names(change.fields);
  json_.Raw(",\"before\":");
  change.before != nullptr ? json_.Record(*change.before) : json_.Null();
  json_.Raw(",\"after\":");
  change.after != nullptr ? json_.Record(*change.after) : json_.Null();
  json_.Raw("}");
}

void JsonDiffWriter::End() {
  json_.Raw(changes_ > 0 ? kLineEnd : "");
  json_.Raw("]}");
  json_.Raw(kLineEnd);
  json_.Flush();
}

}  // namespace kestrelon::tables
