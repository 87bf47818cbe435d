#include "tables/csv_writer.h"

#include "tables/address_text.h"

namespace kestrelon::tables {
namespace {

constexpr std::string_view kColumns[] = {"source",
                                         "platform",
                                         "vrf",
                                         "afi",
                                         "protocol",
                                         "flags",
                                         "prefix",
                                         "distance",
                                         "metric",
                                         "next_hop_address",
                                         "next_hop_interface",
                                         "next_hop_vrf",
                                         "uptime",
                                         "route_source",
                                         "selected"};

}  // namespace

CsvRouteWriter::CsvRouteWriter(ByteSink& out) : csv_(out) {
  for (const std::string_view column : kColumns) {
    csv_.Text(column);
  }
  csv_.EndRow();
}

void CsvRouteWriter::BeginCapture(std::string_view source, Platform platform) {
  source_.assign(source);
  platform_ = platform;
}

void CsvRouteWriter::Put(const RouteView& route) {
  const NextHopView none;
  const std::size_t rows = route.nextHops.empty() ? 1 : route.nextHops.size();
  for (std::size_t i = 0; i < rows; ++i) {
    const NextHopView& hop = route.nextHops.empty() ? none : route.nextHops[i];
    csv_.Text(source_);
    csv_.Text(PlatformName(platform_));
    csv_.Text(route.vrf);
    csv_.Text(AfiName(route.afi));
    csv_.Text(route.protocol);
    csv_.Text(route.flags);
    csv_.Text(route.prefix);
    route.distance ? csv_.Number(*route.distance) : csv_.Null();
    route.metric ? csv_.Number(*route.metric) : csv_.Null();
    if (const auto canonical = hop.address ? CanonicalIpv6(*hop.address) : std::nullopt) {
      csv_.Text(*canonical);
    } else {
      csv_.Optional(hop.address);
    }
    csv_.Optional(hop.interface);
    csv_.Optional(hop.vrf);
    csv_.Optional(route.uptime);
    csv_.Text(SourceName(route.source));
    route.selected ? csv_.Text(*route.selected ? "true" : "false") : csv_.Null();
    csv_.EndRow();
  }
}

void CsvRouteWriter::Finish() {
  csv_.Flush();
}

}  // namespace kestrelon::tables
