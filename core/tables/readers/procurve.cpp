#include "tables/readers/procurve.h"

#include <array>
#include <string>

#include "tables/capture_lines.h"
#include "tables/line_accounting.h"
#include "tables/line_shapes.h"
#include "tables/route_builder.h"
#include "tables/row_columns.h"

namespace kestrelon::tables {
namespace {

constexpr std::array<std::string_view, 2> kMarks = {"IP Route Entries", "IPv6 Route Entries"};

constexpr std::array<std::string_view, 9> kTypes = {
    "connected", "static", "ospf", "ospfv3", "rip", "ripng", "bgp", "aggregate", "tunnel"};

bool IsType(std::string_view word) {
  for (const std::string_view type : kTypes) {
    if (word == type) {
      return true;
    }
  }
  return false;
}

// The protocol as kept: the type, then the sub-type when there is one ("ospf E2").
RouteSource SourceOfProcurve(std::string_view protocol) {
  const std::size_t blank = protocol.find(' ');
  const std::string_view type = protocol.substr(0, blank);
  const std::string_view sub =
      blank == std::string_view::npos ? std::string_view() : protocol.substr(blank + 1);
  if (type == "connected") {
    return RouteSource::kConnected;
  }
  if (type == "static") {
    return RouteSource::kStatic;
  }
  if (type.starts_with("rip")) {
    return RouteSource::kRip;
  }
  if (type == "aggregate") {
    return RouteSource::kAggregate;
  }
  if (type.starts_with("ospf")) {
    if (sub == "IA" || sub.starts_with("inter")) {
      return RouteSource::kOspfInter;
    }
    if (sub == "E1" || sub == "external1" || sub == "ext1") {
      return RouteSource::kOspfExt1;
    }
    if (sub == "E2" || sub == "external2" || sub == "ext2") {
      return RouteSource::kOspfExt2;
    }
    if (sub == "N1" || sub == "nssa1") {
      return RouteSource::kOspfNssa1;
    }
    if (sub == "N2" || sub == "nssa2") {
      return RouteSource::kOspfNssa2;
    }
    return RouteSource::kOspf;
  }
  if (type == "bgp") {
    return sub == "internal" || sub == "iBGP"   ? RouteSource::kBgpInternal
           : sub == "external" || sub == "eBGP" ? RouteSource::kBgpExternal
                                                : RouteSource::kBgp;
  }
  return RouteSource::kOther;
}

// A row: "DESTINATION [GATEWAY] [VLAN] TYPE [SUB-TYPE] METRIC DIST.".
// The destination may carry the stars of a footnote ("**2.0.0.9/32": a route the switch added for
// a tunnel), kept as the route's flags.
struct Row {
  PrefixText destination;
  std::string_view stars, gateway, vlan, type, sub, metric, distance;
};

std::optional<Row> ReadRow(std::string_view text) {
  const RowColumns<8> words = SplitRow<8>(text);
  const std::string_view stars = words[0].substr(0, words[0].find_first_not_of('*'));
  const std::optional<PrefixText> destination = ReadPrefix(words[0].substr(stars.size()));
  if (!destination || words.more || words.count < 4 || !IsDigits(words[words.count - 1]) ||
      !IsDigits(words[words.count - 2])) {
    return std::nullopt;
  }
  const std::size_t end = words.count - 2;  // the words before the metric
  std::size_t type = 1;
  while (type < end && !IsType(words[type])) {
    ++type;
  }
  if (type == end || type > 3 || end - type > 2) {
    return std::nullopt;
  }
  Row row;
  row.destination = *destination;
  row.stars = stars;
  row.type = words[type];
  row.sub = type + 1 < end ? words[type + 1] : "";
  row.metric = words[end];
  row.distance = words[end + 1];
  if (type == 3) {
    row.gateway = words[1];
    row.vlan = words[2];
  } else if (type == 2) {
    // One of the two: a VLAN is a number, a gateway an address or a name ("reject").
    (IsDigits(words[1]) ? row.vlan : row.gateway) = words[1];
  }
  return row;
}

// "Dest : ::/0    Type : static" and "Gateway : fe80::1%vlan10   Dist. : 40   Metric : 0": the
// value after key.
std::string_view ValueOf(std::string_view text, std::string_view key) {
  const std::size_t at = text.find(key);
  if (at == std::string_view::npos) {
    return {};
  }
  const std::string_view rest = files::TrimLeadingBlanks(text.substr(at + key.size()));
  if (!rest.starts_with(':')) {
    return {};
  }
  const RowColumns<1> value = SplitRow<1>(rest.substr(1));
  return value[0];
}

// An IPv6 entry's destination: a prefix, or a link's own link-local network printed with its
// zone and no length ("fe80::%vlan10", taken as its /64).
std::optional<RowDestination> ReadEntryDestination(std::string_view word) {
  if (const std::size_t zone = word.find('%'); zone != std::string_view::npos) {
    const std::string_view address = word.substr(0, zone);
    return IsIpv6Address(address) ? std::optional(RowDestination{Afi::kIpv6, address, 64})
                                  : std::nullopt;
  }
  return ReadRowDestination(word, Afi::kIpv6);
}

}  // namespace

std::span<const std::string_view> ProcurveReader::Marks() const {
  return kMarks;
}

bool ProcurveReader::IsOwnRouteLine(std::string_view line) const {
  return ReadRow(line).has_value();
}

void ProcurveReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  RouteBuilder builder(sink, SourceOfProcurve);
  std::string protocol;
  bool inLegend = false;
  // An IPv6 entry: "Dest : X  Type : T", then "Gateway : G  Dist. : D  Metric : M"; its path
  // is added when the entry ends.
  struct Entry {
    bool open = false;
    std::string gateway, type, sub;
    std::optional<std::uint64_t> metric;
    std::optional<std::uint32_t> distance;
  } entry;
  const auto takePairs = [&](std::string_view text) {
    const auto take = [&](std::string& to, std::string_view key) {
      if (const std::string_view value = ValueOf(text, key); !value.empty()) {
        to.assign(value);
      }
    };
    take(entry.gateway, "Gateway");
    take(entry.type, "Type");
    take(entry.sub, "Sub-Type");
    if (const auto metric = files::ReadNumber<std::uint64_t>(ValueOf(text, "Metric"))) {
      entry.metric = metric;
    }
    if (const auto distance = files::ReadNumber<std::uint32_t>(ValueOf(text, "Dist."))) {
      entry.distance = distance;
    }
  };
  const auto endEntry = [&] {
    if (!entry.open) {
      return;
    }
    protocol.assign(entry.type);
    if (!entry.sub.empty() && entry.sub != "NA") {
      protocol.append(" ").append(entry.sub);
    }
    builder.SetProtocol(protocol);
    RouteBuilder::Path path;
    const std::string_view gateway = entry.gateway;
    if (const std::optional<std::string_view> address = RowGatewayAddress(gateway)) {
      path.address = address;
      if (const std::size_t zone = gateway.find('%'); zone != std::string_view::npos) {
        path.interface = gateway.substr(zone + 1);
      }
    } else if (!gateway.empty()) {
      path.interface = gateway;
    }
    path.metric = entry.metric;
    path.distance = entry.distance;
    builder.AddPath(path);
    entry = {};
  };
  ForEachCaptureLine(capture, [&](std::string_view line) {
    const std::string_view text = files::TrimBlanks(line);
    LineKind kind = LineKind::kNotUnderstood;
    std::optional<RowDestination> dest;
    if (text.starts_with("Dest")) {
      dest = ReadEntryDestination(ValueOf(text, "Dest"));
    }
    if (const std::optional<Row> row = ReadRow(text)) {
      endEntry();
      builder.Begin(row->destination.afi, {}, row->stars, row->destination.address,
                    row->destination.length);
      protocol.assign(row->type);
      if (!row->sub.empty()) {
        protocol.append(" ").append(row->sub);
      }
      builder.SetProtocol(protocol);
      // A gateway that is no address names the VLAN ("mgmt") or the route's end ("reject"):
      // the VLAN is the interface when there is one.
      RouteBuilder::Path path;
      path.address = RowGatewayAddress(row->gateway);
      if (!row->vlan.empty()) {
        path.interface = row->vlan;
      } else if (!path.address && !row->gateway.empty()) {
        path.interface = row->gateway;
      }
      path.metric = files::ReadNumber<std::uint64_t>(row->metric);
      path.distance = files::ReadNumber<std::uint32_t>(row->distance);
      builder.AddPath(path);
      kind = LineKind::kRoute;
    } else if (dest) {
      endEntry();
      builder.Begin(dest->afi, {}, {}, dest->address, dest->length);
      entry.open = true;
      takePairs(text);
      kind = LineKind::kRoute;
    } else if (entry.open && (text.starts_with("Gateway") || text.starts_with("Type"))) {
      takePairs(text);
      kind = LineKind::kPath;
    } else {
      endEntry();
      if (text.ends_with("Route Entries") ||
          (text.starts_with("Destination") && text.find("Gateway") != std::string_view::npos) ||
          (!text.empty() && text.find_first_not_of("- ") == std::string_view::npos)) {
        kind = LineKind::kHeader;  // the title, the heading and its rule
      } else {
        kind = ClassifyOtherLine(line, inLegend);
      }
      if (kind != LineKind::kPager && kind != LineKind::kBlank) {
        builder.Finish();
      }
    }
    inLegend = kind == LineKind::kLegend;
    account.Count(kind, line);
  });
  endEntry();
  builder.Finish();
}

}  // namespace kestrelon::tables
