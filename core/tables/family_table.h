// The reading loop of the platforms that print each route in the IOS manner, one destination
// line with a code and a prefix, then further paths or the rest of a wrapped one. A platform
// gives how its lines name a VRF section and how it reads a destination line. A line is read by
// what it holds, never by its indentation, and every line is counted.
#pragma once

#include <optional>
#include <string_view>

#include "files/text_fields.h"
#include "tables/capture_lines.h"
#include "tables/line_accounting.h"
#include "tables/line_shapes.h"
#include "tables/route_builder.h"

namespace kestrelon::tables {

// What a path line of a pending route holds: a path of its own ("[1/0] via …", "via …",
// "is directly connected, …") or the rest of a wrapped one ("00:54:19, Lo0"); none for a line
// that is neither, or whose numbers cannot be read.
inline std::optional<routes::RoutePathFields> ReadPathLine(std::string_view line) {
  const std::string_view text = files::TrimBlanks(line);
  const bool opens = text.starts_with('[') || text.starts_with("via ") || text.starts_with("is ") ||
                     text.starts_with("directly connected");
  if (!opens && text.substr(0, text.find(',')).find_first_of(" \t") != std::string_view::npos) {
    return std::nullopt;  // the rest of a wrapped path starts with a time or an interface
  }
  const routes::RoutePathFields fields = routes::ReadRoutePathFields(text);
  if (fields.Empty() || fields.subnetted || fields.badNumber) {
    return std::nullopt;
  }
  return fields;
}

// sectionVrf(line) -> std::optional<std::string_view>: the VRF a section header names.
// readHead(line, builder) -> LineKind: kRoute when it begins a route (and adds its path),
// kNotUnderstood for a destination line that cannot be read, kBlank for any other line.
template <typename SectionVrf, typename ReadHead>
void ReadFamilyTable(std::string_view capture, RouteSink& sink, ViaTarget rule,
                     LineAccount& account, SectionVrf&& sectionVrf, ReadHead&& readHead) {
  RouteBuilder builder(sink);
  bool inLegend = false;
  ForEachCaptureLine(capture, [&](std::string_view line) {
    LineKind kind = LineKind::kNotUnderstood;
    if (const std::optional<std::string_view> vrf = sectionVrf(files::TrimBlanks(line))) {
      builder.SetVrf(*vrf);
      kind = LineKind::kHeader;
    } else if (const LineKind head = readHead(line, builder); head != LineKind::kBlank) {
      kind = head;
      if (head != LineKind::kRoute) {
        builder.Finish();
      }
    } else if (const LineKind other = ClassifyOtherLine(line, inLegend);
               other != LineKind::kNotUnderstood) {
      kind = other;
      if (other != LineKind::kPager) {
        builder.Finish();
      }
    } else if (const auto fields = builder.Pending() ? ReadPathLine(line) : std::nullopt) {
      builder.AddPathFields(*fields, rule);
      kind = LineKind::kPath;
    } else {
      builder.Finish();
    }
    inLegend = kind == LineKind::kLegend;
    account.Count(kind, line);
  });
  builder.Finish();
}

// The destination line of IOS-XR and EOS: ReadRouteHead's shape.
inline LineKind ReadPrefixHead(std::string_view line, RouteBuilder& builder, ViaTarget rule) {
  const std::optional<RouteHead> head = ReadRouteHead(line);
  if (!head) {
    return LineKind::kBlank;
  }
  const routes::RoutePathFields fields = routes::ReadRoutePathFields(head->rest);
  if (fields.badNumber) {
    return LineKind::kNotUnderstood;
  }
  builder.Begin(head->prefix.afi, head->code, {}, head->prefixText);
  builder.AddPathFields(fields, rule);
  return LineKind::kRoute;
}

}  // namespace kestrelon::tables
