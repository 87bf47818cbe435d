#include "tables/readers/aoscx.h"

#include <array>
#include <string>

#include "tables/capture_lines.h"
#include "tables/line_accounting.h"
#include "tables/line_shapes.h"
#include "tables/route_builder.h"
#include "tables/row_columns.h"

namespace kestrelon::tables {
namespace {

constexpr std::array<std::string_view, 3> kMarks = {
    "routes selected for forwarding", "'[x/y]' denotes [distance/metric]", "VRF(egress)"};

// The protocol as the path lines name it ("bgp", "ospf") or as the table's origin/type codes
// do ("B/E", "O/IA", "C").
RouteSource SourceOfAoscx(std::string_view protocol) {
  protocol = protocol.substr(0, protocol.find(' '));  // "static on vsx1"
  const std::size_t slash = protocol.find('/');
  const std::string_view origin = protocol.substr(0, slash);
  const std::string_view type =
      slash == std::string_view::npos ? std::string_view() : protocol.substr(slash + 1);
  if (origin == "connected" || origin == "C") {
    return RouteSource::kConnected;
  }
  if (origin == "local" || origin == "L") {
    return RouteSource::kLocal;
  }
  if (origin == "static" || origin == "S") {
    return RouteSource::kStatic;
  }
  if (origin == "rip" || origin == "R") {
    return RouteSource::kRip;
  }
  if (origin == "bgp" || origin == "B") {
    return type == "E"   ? RouteSource::kBgpExternal
           : type == "I" ? RouteSource::kBgpInternal
                         : RouteSource::kBgp;
  }
  if (origin == "ospf" || origin == "O") {
    return type == "IA"   ? RouteSource::kOspfInter
           : type == "E1" ? RouteSource::kOspfExt1
           : type == "E2" ? RouteSource::kOspfExt2
                          : RouteSource::kOspf;
  }
  return RouteSource::kOther;
}

// "[20/0]" as distance and metric; false when it is no such pair.
bool ReadCost(std::string_view field, RouteBuilder::Path& path) {
  if (!field.starts_with('[') || !field.ends_with(']')) {
    return false;
  }
  const std::string_view inside = field.substr(1, field.size() - 2);
  const std::size_t slash = inside.find('/');
  if (slash == std::string_view::npos) {
    return false;
  }
  path.distance = files::ReadNumber<std::uint32_t>(inside.substr(0, slash));
  path.metric = files::ReadNumber<std::uint64_t>(inside.substr(slash + 1));
  return path.distance && path.metric;
}

// "10.0.0.1", "1/1/1", "fe80::1%vlan10", "20.0.0.1[vrf red]" (a next hop in another VRF).
void SetTarget(std::string_view target, RouteBuilder::Path& path) {
  if (const std::size_t bracket = target.find("[vrf ");
      bracket != std::string_view::npos && target.ends_with(']')) {
    path.vrf = files::TrimBlanks(target.substr(bracket + 5, target.size() - bracket - 6));
    target = target.substr(0, bracket);
  }
  if (const std::optional<std::string_view> address = RowGatewayAddress(target)) {
    path.address = address;
    if (const std::size_t zone = target.find('%'); zone != std::string_view::npos) {
      path.interface = target.substr(zone + 1);
    }
  } else if (!target.empty() && target != "-") {
    path.interface = target;
  }
}

// "10.1.0.0/24, vrf red", "20.0.0.0/24,  1 unicast next-hops", "114::/124, blackhole": a
// route's first line, the VRF when it names one.
struct RouteLine {
  PrefixText prefix;
  std::optional<std::string_view> vrf;
  bool blackhole = false;
};

std::optional<RouteLine> ReadRouteLine(std::string_view text) {
  std::string_view rest = text;
  const std::optional<PrefixText> prefix = ReadPrefix(NextCommaField(rest));
  if (!prefix || rest.empty()) {
    return std::nullopt;
  }
  RouteLine route{*prefix, std::nullopt, false};
  bool known = false;
  while (!rest.empty()) {
    const std::string_view field = NextCommaField(rest);
    if (field.starts_with("vrf ")) {
      route.vrf = files::TrimBlanks(field.substr(4));
    } else if (field == "blackhole" || field == "reject") {
      route.blackhole = true;
    } else if (!field.ends_with(" next-hops")) {
      continue;  // "tag 5" and the like
    }
    known = true;
  }
  return known ? std::optional(route) : std::nullopt;
}

// A row of the table: "[PREFIX] NEXTHOP INTERFACE VRF(egress) ORIGIN/TYPE [d/m] AGE"; the
// prefix is left out on a route's further paths. Its protocol is put in protocol.
std::optional<RouteBuilder::Path> ReadTableRow(const RowColumns<8>& row, std::size_t first,
                                               std::string_view& protocol) {
  RouteBuilder::Path path;
  if (row.count != first + 6 || row.more || !ReadCost(row[first + 4], path)) {
    return std::nullopt;
  }
  SetTarget(row[first], path);
  if (!path.interface && row[first + 1] != "-") {
    path.interface = row[first + 1];
  }
  if (row[first + 2] != "-") {
    path.vrf = row[first + 2];
  }
  if (row[first + 5] != "-") {
    path.uptime = row[first + 5];
  }
  protocol = row[first + 3];
  return path;
}

}  // namespace

std::span<const std::string_view> AoscxReader::Marks() const {
  return kMarks;
}

bool AoscxReader::IsOwnRouteLine(std::string_view line) const {
  return ReadRouteLine(files::TrimBlanks(line)).has_value();
}

void AoscxReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  RouteBuilder builder(sink, SourceOfAoscx);
  bool inLegend = false;
  bool firstPath = false;               // the route's protocol is that of its first path
  std::string commandVrf(kDefaultVrf);  // of routes that do not name theirs: "show ip route vrf X"
  ForEachCaptureLine(capture, [&](std::string_view line) {
    const std::string_view text = files::TrimBlanks(line);
    LineKind kind = LineKind::kNotUnderstood;
    const RowColumns<8> row = SplitRow<8>(text);
    std::string_view protocol;
    if (const auto route = ReadRouteLine(text)) {
      builder.SetVrf(route->vrf.value_or(commandVrf));
      builder.Begin(route->prefix.afi, {}, {}, route->prefix.address, route->prefix.length);
      if (route->blackhole) {
        builder.SetProtocol("blackhole");
        builder.SetSource(RouteSource::kDiscard);
      }
      firstPath = true;
      kind = LineKind::kRoute;
    } else if (text.starts_with("via ")) {
      std::string_view rest = text.substr(4);
      RouteBuilder::Path path;
      SetTarget(NextCommaField(rest), path);
      const bool cost = ReadCost(NextCommaField(rest), path);
      protocol = NextCommaField(rest);
      if (const std::string_view age = NextCommaField(rest); !age.empty()) {
        path.uptime = age;
      }
      if (builder.Pending() && cost && !protocol.empty()) {
        if (firstPath) {
          builder.SetProtocol(protocol);
          firstPath = false;
        }
        builder.AddPath(path);
        kind = LineKind::kPath;
      }
    } else if (const std::optional<PrefixText> prefix = ReadPrefix(row[0]);
               const auto first = prefix ? ReadTableRow(row, 1, protocol) : std::nullopt) {
      builder.Begin(prefix->afi, {}, {}, prefix->address, prefix->length);
      builder.SetProtocol(protocol);
      builder.AddPath(*first);
      kind = LineKind::kRoute;
    } else if (const auto further =
                   builder.Pending() ? ReadTableRow(row, 0, protocol) : std::nullopt) {
      builder.AddPath(*further);
      kind = LineKind::kPath;
    } else if (const auto vrf = AfterPrefix(text, "VRF:")) {
      builder.SetVrf(*vrf);
      kind = LineKind::kHeader;
    } else if (text.starts_with("Origin Codes:") || text.starts_with("Type Codes:")) {
      kind = LineKind::kLegend;
    } else if (text.starts_with("Displaying ") || text.ends_with("Forwarding Routes") ||
               text.starts_with("Total Route Count") || text.starts_with("Prefix ") ||
               text.starts_with("Type ") ||
               (!text.empty() && text.find_first_not_of('-') == std::string_view::npos)) {
      kind = LineKind::kHeader;  // the table's title, its heading and rule, its count
    } else {
      kind = ClassifyOtherLine(line, inLegend);
      if (kind == LineKind::kPrompt) {
        const std::size_t named = text.find(" vrf ");
        commandVrf.assign(named == std::string_view::npos ? kDefaultVrf
                                                          : SplitRow<1>(text.substr(named + 5))[0]);
      }
    }
    if (kind != LineKind::kRoute && kind != LineKind::kPath && kind != LineKind::kPager) {
      builder.Finish();
    }
    inLegend = kind == LineKind::kLegend;
    account.Count(kind, line);
  });
  builder.Finish();
}

}  // namespace kestrelon::tables
