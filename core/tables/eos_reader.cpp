#include "tables/eos_reader.h"

#include "tables/family_table.h"

namespace kestrelon::tables {

void EosReader::Read(std::string_view capture, RouteSink& sink) const {
  constexpr ViaTarget rule = ViaTarget::kAddressOrInterface;
  ReadFamilyTable(
      capture, sink, rule,
      [](std::string_view line) -> std::optional<std::string_view> {
        if (auto name = AfterPrefix(line, "VRF name: ")) {
          return name;
        }
        return AfterPrefix(line, "VRF: ");
      },
      [](std::string_view line, RouteBuilder& builder) {
        // EOS indents destination lines by one blank; paths by many.
        const std::size_t indent = line.find_first_not_of(' ');
        return indent != std::string_view::npos && indent <= 2 &&
               ReadPrefixHead(line, builder, rule);
      });
}

}  // namespace kestrelon::tables
