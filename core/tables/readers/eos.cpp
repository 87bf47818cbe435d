#include "tables/readers/eos.h"

#include "tables/family_table.h"

namespace kestrelon::tables {

void EosReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  constexpr ViaTarget rule = ViaTarget::kAddressOrInterface;
  ReadFamilyTable(
      capture, sink, rule, account,
      [](std::string_view line) -> std::optional<std::string_view> {
        if (auto name = AfterPrefix(line, "VRF name: ")) {
          return name;
        }
        return AfterPrefix(line, "VRF: ");
      },
      [](std::string_view line, RouteBuilder& builder) {
        return ReadPrefixHead(line, builder, rule);
      });
}

}  // namespace kestrelon::tables
