#include "tables/readers/comware.h"

#include <array>

#include "tables/display_route_table.h"

namespace kestrelon::tables {
namespace {

// The loopback's name (VRP's is "InLoopBack0"), which the 127.0.0.0/8 routes of every full
// table show, and the verbose tables' keys of V5 and V7.
constexpr std::array<std::string_view, 3> kMarks = {"InLoop0", "RelyNextHop", "RealNextHop"};

}  // namespace

void ComwareReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  ReadDisplayRouteTable(capture, sink, account);
}

std::span<const std::string_view> ComwareReader::Marks() const {
  return kMarks;
}

// A row without VRP's Flags column.
bool ComwareReader::IsOwnRouteLine(std::string_view line) const {
  return ClassifyDisplayRow(line) == DisplayRowShape::kWithoutFlags;
}

}  // namespace kestrelon::tables
