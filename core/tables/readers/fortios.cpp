#include "tables/readers/fortios.h"

#include <array>

#include "files/text_fields.h"
#include "tables/capture_lines.h"
#include "tables/zebra_table.h"

namespace kestrelon::tables {
namespace {

// The table heading, and the legend line IOS and ASA break elsewhere.
constexpr std::array<std::string_view, 3> kMarks = {
    "Routing table for VRF=", "Routing Table for VRF=",
    "L2 - IS-IS level-2, ia - IS-IS inter area"};

// "Routing table for VRF=0": VRF 0 is the global table; "IPv6 Routing Table for VRF=0" too.
std::optional<std::string_view> SectionVrf(std::string_view text) {
  if (text.empty() || (text[0] != 'R' && text[0] != 'I')) {
    return std::nullopt;  // the quick answer for most lines
  }
  const std::size_t at = text.find(" for VRF=");
  if (at == std::string_view::npos ||
      !(text.starts_with("Routing table") || text.starts_with("Routing Table") ||
        text.starts_with("IPv6 Routing"))) {
    return std::nullopt;
  }
  const std::string_view id = files::TrimBlanks(text.substr(at + 9));
  return id == "0" ? kDefaultVrf : id;
}

// IOS's codes, and "V" for the routes of BGP VPNv4.
RouteSource SourceOf(std::string_view protocol) {
  return protocol == "V" ? RouteSource::kVpn : SourceOfCode(protocol);
}

constexpr ZebraDialect kDialect{SectionVrf, SourceOf, false};

}  // namespace

void FortiosReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  ReadZebraTable(capture, sink, account, kDialect);
}

std::span<const std::string_view> FortiosReader::Marks() const {
  return kMarks;
}

}  // namespace kestrelon::tables
