#include "tables/ios_reader.h"

#include "tables/family_table.h"

namespace kestrelon::tables {

// Provisional: the IOS-like shape only, until the reader shares the text pipeline's reading.
void IosReader::Read(std::string_view capture, RouteSink& sink) const {
  constexpr ViaTarget rule = ViaTarget::kAddressOrInterface;
  ReadFamilyTable(
      capture, sink, rule,
      [](std::string_view line) { return AfterPrefix(TrimLeadingBlanks(line), "Routing Table: "); },
      [](std::string_view line, RouteBuilder& builder) {
        return !line.empty() && line[0] != ' ' && ReadPrefixHead(line, builder, rule);
      });
}

}  // namespace kestrelon::tables
