#include "tables/readers/yamaha.h"

#include <array>
#include <string>

#include "tables/capture_lines.h"
#include "tables/line_accounting.h"
#include "tables/line_shapes.h"
#include "tables/route_builder.h"
#include "tables/row_columns.h"

namespace kestrelon::tables {
namespace {

// The heading's last column, in English and in Japanese as UTF-8, Shift_JIS and EUC-JP (the
// console's character sets).
constexpr std::array<std::string_view, 4> kMarks = {"Additional Info.", "付加情報",
                                                    "\x95\x74\x89\xc1\x8f\xee\x95\xf1",
                                                    "\xc9\xd5\xb2\xc3\xbe\xf0\xca\xf3"};

// The kind column, as printed: "implicit" is an interface's own network, "temporary" a route
// the router adds for a while (a PP or tunnel peer).
RouteSource SourceOfKind(std::string_view kind) {
  if (kind == "implicit") {
    return RouteSource::kConnected;
  }
  if (kind == "static" || kind == "temporary") {
    return RouteSource::kStatic;
  }
  if (kind.starts_with("OSPF")) {
    return RouteSource::kOspf;
  }
  if (kind.starts_with("RIP")) {
    return RouteSource::kRip;
  }
  if (kind.starts_with("BGP")) {
    return RouteSource::kBgp;
  }
  if (kind == "DHCP" || kind == "dhcp") {
    return RouteSource::kDhcp;
  }
  return RouteSource::kOther;
}

// The number after key ("cost=", "metric=") in the additional information.
std::optional<std::uint64_t> InfoNumber(std::string_view info, std::string_view key) {
  const std::size_t at = info.find(key);
  if (at == std::string_view::npos) {
    return std::nullopt;
  }
  const std::string_view rest = info.substr(at + key.size());
  return files::ReadNumber<std::uint64_t>(rest.substr(0, rest.find_first_of(" \t,")));
}

bool IsHeading(std::string_view text) {
  return (text.starts_with("Destination") && text.find("Gateway") != std::string_view::npos) ||
         text.starts_with("宛先") || text.starts_with("\x88\xb6\x90\xe6") ||
         text.starts_with("\xb0\xb8\xc0\xe8");
}

// "PP[01]", "TUNNEL[1]", "LAN2", "LAN1/1": interface names that only RTX prints in capitals.
bool IsRtxInterface(std::string_view word) {
  for (const std::string_view name : {"PP[", "TUNNEL[", "LAN"}) {
    if (word.starts_with(name) && word.size() > name.size() && word.back() != ',') {
      const char next = word[name.size()];
      return next >= '0' && next <= '9';
    }
  }
  return false;
}

}  // namespace

std::span<const std::string_view> YamahaReader::Marks() const {
  return kMarks;
}

bool YamahaReader::IsOwnRouteLine(std::string_view line) const {
  const RowColumns<5> row = SplitRow<5>(line);
  return row.count >= 4 && ReadRowDestination(row[0], Afi::kIpv4) &&
         (row[3] == "implicit" || row[3] == "temporary" || IsRtxInterface(row[2]));
}

void YamahaReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  RouteBuilder builder(sink, SourceOfKind);
  Afi family = Afi::kIpv4;  // of "default" when its gateway does not tell
  std::string lastDestination, lastKind;
  bool inLegend = false;
  ForEachCaptureLine(capture, [&](std::string_view line) {
    const std::string_view text = files::TrimBlanks(line);
    LineKind kind = LineKind::kNotUnderstood;
    const RowColumns<5> row = SplitRow<5>(text);
    const std::optional<std::string_view> gateway = RowGatewayAddress(row[1]);
    const std::optional<RowDestination> destination =
        row.count >= 4
            ? ReadRowDestination(row[0], gateway && row[1].find(':') != std::string_view::npos
                                             ? Afi::kIpv6
                                             : family)
            : std::nullopt;
    if (destination && (gateway || row[1] == "-")) {
      // Rows of one destination and kind are the paths of one route (a static route with two
      // gateways).
      if (!builder.Pending() || row[0] != lastDestination || row[3] != lastKind) {
        builder.Begin(destination->afi, {}, {}, destination->address, destination->length);
        builder.SetProtocol(row[3]);
        lastDestination.assign(row[0]);
        lastKind.assign(row[3]);
        kind = LineKind::kRoute;
      } else {
        kind = LineKind::kPath;
      }
      if (row[0] != "default") {
        family = destination->afi;
      }
      const std::string_view info = RestOfRow(text, row[4]);
      RouteBuilder::Path path;
      path.address = gateway;
      path.interface = row[2];
      path.metric = InfoNumber(info, "cost=");
      if (!path.metric) {
        path.metric = InfoNumber(info, "metric=");
      }
      builder.AddPath(path);
    } else if (IsHeading(text)) {
      kind = LineKind::kHeader;
      builder.Finish();
    } else {
      kind = ClassifyOtherLine(line, inLegend);
      if (kind == LineKind::kPrompt) {
        family = text.find("ipv6") != std::string_view::npos ? Afi::kIpv6 : Afi::kIpv4;
      }
      if (kind != LineKind::kPager) {
        builder.Finish();
      }
    }
    inLegend = kind == LineKind::kLegend;
    account.Count(kind, line);
  });
  builder.Finish();
}

}  // namespace kestrelon::tables
