#include "tables/readers/vrp.h"

#include <array>

#include "tables/display_route_table.h"

namespace kestrelon::tables {
namespace {

// The legend, the Flags column's heading, and the verbose and IPv6 tables' key: Comware, which
// prints the rest alike, has none of them (its key is "RelyNextHop").
constexpr std::array<std::string_view, 3> kMarks = {"Route Flags: R - relay", "Flags NextHop",
                                                    "RelayNextHop"};

}  // namespace

void VrpReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  ReadDisplayRouteTable(capture, sink, account);
}

std::span<const std::string_view> VrpReader::Marks() const {
  return kMarks;
}

bool VrpReader::IsOwnRouteLine(std::string_view line) const {
  return ClassifyDisplayRow(line) == DisplayRowShape::kWithFlags;
}

}  // namespace kestrelon::tables
