#include "tables/xr_reader.h"

#include "tables/family_table.h"

namespace kestrelon::tables {

void IosXrReader::Read(std::string_view capture, RouteSink& sink) const {
  constexpr ViaTarget rule = ViaTarget::kAddressOrInterface;
  ReadFamilyTable(
      capture, sink, rule, [](std::string_view line) { return AfterPrefix(line, "VRF: "); },
      [](std::string_view line, RouteBuilder& builder) {
        // Destination lines start in column 1; indented lines are paths.
        return !line.empty() && line[0] != ' ' && ReadPrefixHead(line, builder, rule);
      });
}

}  // namespace kestrelon::tables
