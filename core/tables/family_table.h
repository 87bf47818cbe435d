// The reading loop of the platforms that print each route in the IOS manner, one destination
// line with a code and a prefix, then indented further paths or the rest of a wrapped one.
// A platform gives how its lines name a VRF section and how it reads a destination line.
#pragma once

#include <optional>
#include <string_view>

#include "tables/capture_lines.h"
#include "tables/route_builder.h"

namespace kestrelon::tables {

// sectionVrf(line) -> std::optional<std::string_view>: the VRF a section header names.
// readHead(line, builder) -> bool: begins a route and adds its path when line prints one.
template <typename SectionVrf, typename ReadHead>
void ReadFamilyTable(std::string_view capture, RouteSink& sink, ViaTarget rule,
                     SectionVrf&& sectionVrf, ReadHead&& readHead) {
  RouteBuilder builder(sink);
  ForEachCaptureLine(capture, [&](std::string_view line) {
    if (const std::optional<std::string_view> vrf = sectionVrf(line)) {
      builder.SetVrf(*vrf);
    } else if (readHead(line, builder)) {
      // begun
    } else if (!line.empty() && (line[0] == ' ' || line[0] == '\t') && !IsBlank(line)) {
      builder.AddPathFields(routes::ReadRoutePathFields(line), rule);
    } else {
      builder.Finish();
    }
  });
  builder.Finish();
}

// The destination line of IOS-XR and EOS: ReadRouteHead's shape.
inline bool ReadPrefixHead(std::string_view line, RouteBuilder& builder, ViaTarget rule) {
  const std::optional<RouteHead> head = ReadRouteHead(line);
  if (!head) {
    return false;
  }
  builder.Begin(head->prefix.afi, head->code, {}, head->prefixText);
  builder.AddPathFields(routes::ReadRoutePathFields(head->rest), rule);
  return true;
}

}  // namespace kestrelon::tables
