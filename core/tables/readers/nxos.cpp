#include "tables/readers/nxos.h"

#include "files/text_fields.h"
#include "routes/route_path_fields.h"
#include "tables/capture_lines.h"
#include "tables/line_shapes.h"
#include "tables/route_builder.h"

namespace kestrelon::tables {
namespace {

// The VRF of a table header: IP Route Table for VRF "default", IPv6 Routing Table for VRF "x".
std::optional<std::string_view> SectionVrf(std::string_view line) {
  for (const std::string_view start :
       {"IP Route Table for VRF \"", "IPv6 Routing Table for VRF \""}) {
    if (line.starts_with(start)) {
      const std::string_view rest = line.substr(start.size());
      return rest.substr(0, rest.find('"'));
    }
  }
  return std::nullopt;
}

// Splits off the next comma field of text.
std::string_view NextField(std::string_view& text) {
  const std::size_t comma = text.find(',');
  const std::string_view field = files::TrimBlanks(text.substr(0, comma));
  text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
  return field;
}

bool IsTypeWord(std::string_view word) {
  if (word.empty() || word.starts_with("tag")) {
    return false;
  }
  return IsWordOf(word, "-");
}

// The source of NX-OS's protocol as kept: its name with the process tag, then its type
// ("ospf-10 intra", "bgp-65000 external", "isis-1 L2", "direct"). A type not listed gives the
// family ("ospf-1 nssa": which type is not printed).
RouteSource SourceOfNxosProtocol(std::string_view protocol) {
  struct Known {
    std::string_view name, type;
    RouteSource source;
  };
  static constexpr Known kKnown[] = {
      {"direct", "", RouteSource::kConnected},
      {"local", "", RouteSource::kLocal},
      {"static", "", RouteSource::kStatic},
      {"rip", "", RouteSource::kRip},
      {"ospf", "inter", RouteSource::kOspfInter},
      {"ospf", "type-1", RouteSource::kOspfExt1},
      {"ospf", "type-2", RouteSource::kOspfExt2},
      {"ospf", "", RouteSource::kOspf},
      {"ospfv3", "inter", RouteSource::kOspfInter},
      {"ospfv3", "type-1", RouteSource::kOspfExt1},
      {"ospfv3", "type-2", RouteSource::kOspfExt2},
      {"ospfv3", "", RouteSource::kOspf},
      {"bgp", "internal", RouteSource::kBgpInternal},
      {"bgp", "external", RouteSource::kBgpExternal},
      {"bgp", "", RouteSource::kBgp},
      {"isis", "L1", RouteSource::kIsisL1},
      {"isis", "L2", RouteSource::kIsisL2},
      {"isis", "", RouteSource::kIsis},
      {"eigrp", "external", RouteSource::kEigrpExt},
      {"eigrp", "", RouteSource::kEigrp},
  };
  const std::string_view name = protocol.substr(0, protocol.find_first_of("- "));
  const std::size_t blank = protocol.find(' ');
  const std::string_view type = blank == std::string_view::npos ? "" : protocol.substr(blank + 1);
  for (const Known& known : kKnown) {
    if (known.name == name && (known.type.empty() || known.type == type)) {
      return known.source;
    }
  }
  return RouteSource::kOther;  // am, hsrp, broadcast, ...
}

// "*via 10.1.1.1%vrf, Eth1/1, [110/3], 5d18h, ospf-10, intra, tag 100": one path. The protocol
// (with its type) is that of the first path.
// False for a path whose numbers cannot be read ("[-1/0]", a distance of 2^32).
bool ReadVia(std::string_view text, RouteBuilder& builder, std::string& protocol) {
  RouteBuilder::Path path;
  std::string_view target = NextField(text);
  const std::size_t percent = target.find('%');
  if (percent != std::string_view::npos) {
    path.vrf = target.substr(percent + 1);
    target = target.substr(0, percent);
  }
  if (IsAddress(target)) {
    path.address = target;
  } else if (!target.empty()) {
    path.interface = target;
  }
  std::string_view field = NextField(text);
  if (!field.empty() && !field.starts_with('[')) {
    path.interface = routes::InterfaceOfField(field);
    field = NextField(text);
  }
  if (field.starts_with('[') && field.ends_with(']')) {
    const std::string_view inside = field.substr(1, field.size() - 2);
    const std::size_t slash = inside.find('/');
    if (slash != std::string_view::npos) {
      path.distance = files::ReadNumber<std::uint32_t>(inside.substr(0, slash));
      path.metric = files::ReadNumber<std::uint64_t>(inside.substr(slash + 1));
    }
    if (!path.distance || !path.metric) {
      return false;
    }
    field = NextField(text);
  }
  if (!field.empty()) {
    path.uptime = field;
  }
  if (protocol.empty()) {
    protocol.assign(NextField(text));
    const std::string_view type = NextField(text);
    if (!protocol.empty() && IsTypeWord(type)) {
      protocol.append(" ").append(type);
    }
    builder.SetProtocol(protocol);
  }
  builder.AddPath(path);
  return true;
}

// The rest of a wrapped path: comma fields of one word, or of a word and its value
// ("tag 100", "segid: 5001", "tunnelid: 0x64000001").
bool IsViaTail(std::string_view text) {
  while (!text.empty()) {
    const std::string_view field = NextField(text);
    const std::size_t blank = field.find(' ');
    if (field.empty()) {
      return false;
    }
    if (blank != std::string_view::npos) {
      const std::string_view key = field.substr(0, blank);
      const std::string_view value = files::TrimBlanks(field.substr(blank));
      const bool keyWord =
          !key.empty() && key.size() <= 10 &&
          key.find_first_not_of("abcdefghijklmnopqrstuvwxyz-:") == std::string_view::npos;
      if (!keyWord || value.find(' ') != std::string_view::npos) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

void NxosReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  RouteBuilder builder(sink, SourceOfNxosProtocol);
  std::string protocol;
  LineKind last = LineKind::kBlank;
  ForEachCaptureLine(capture, [&](std::string_view line) {
    const std::string_view text = files::TrimBlanks(line);
    LineKind kind = LineKind::kNotUnderstood;
    if (const std::optional<std::string_view> vrf = SectionVrf(text)) {
      builder.SetVrf(*vrf);
      kind = LineKind::kHeader;
    } else if (const std::size_t comma = text.find(", ubest/mbest:");
               comma != std::string_view::npos) {
      // "10.1.0.0/16, ubest/mbest: 2/0, attached" begins a route.
      builder.Finish();
      if (const std::optional<PrefixText> prefix = ReadPrefix(text.substr(0, comma))) {
        builder.Begin(prefix->afi, {}, {}, text.substr(0, comma));
        protocol.clear();
        kind = LineKind::kRoute;
      }
    } else if (const std::size_t stars = text.find_first_not_of('*');
               stars != std::string_view::npos && text.substr(stars).starts_with("via ")) {
      if (builder.Pending() && ReadVia(text.substr(stars + 4), builder, protocol)) {
        kind = LineKind::kPath;
      }
    } else if (const LineKind other =
                   ClassifyOtherLine(line, last == LineKind::kLegend || last == LineKind::kHeader);
               other != LineKind::kNotUnderstood) {
      kind = other;
      if (other != LineKind::kPager) {
        builder.Finish();
      }
    } else if (builder.Pending() && last == LineKind::kPath && IsViaTail(text)) {
      kind = LineKind::kPath;  // the rest of a wrapped path ("tag 100")
    } else {
      builder.Finish();
    }
    if (kind != LineKind::kPager) {
      last = kind;  // a pager's prompt between a path and its rest parts nothing
    }
    account.Count(kind, line);
  });
  builder.Finish();
}

}  // namespace kestrelon::tables
