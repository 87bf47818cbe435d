#include "tables/readers/iosxr.h"

#include "tables/family_table.h"

namespace kestrelon::tables {

void IosXrReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  constexpr ViaTarget rule = ViaTarget::kAddressOrInterface;
  ReadFamilyTable(
      capture, sink, rule, account,
      [](std::string_view line) { return AfterPrefix(line, "VRF: "); },
      [](std::string_view line, RouteBuilder& builder) {
        return ReadPrefixHead(line, builder, rule);
      });
}

}  // namespace kestrelon::tables
