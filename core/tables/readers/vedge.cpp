#include "tables/readers/vedge.h"

#include <array>
#include <string>

#include "files/text_fields.h"
#include "tables/capture_lines.h"
#include "tables/line_shapes.h"
#include "tables/route_builder.h"
#include "tables/row_words.h"

namespace kestrelon::tables {
namespace {

constexpr std::array<std::string_view, 5> kMarks = {
    "Codes Proto-sub-type:",   "Codes Status flags:",
    "IE -> ospf-inter-area",   "e -> bgp-external, i -> bgp-internal",
    "F -> fib, S -> selected",
};

// A row: VPN, PREFIX, PROTOCOL, PROTOCOL SUB TYPE, NEXTHOP IF NAME, NEXTHOP ADDR, NEXTHOP VPN,
// TLOC IP, COLOR, ENCAP, STATUS; an empty cell prints "-". Read by words, as a long interface
// name or address pushes the cells after it out of their columns.
struct Row {
  std::string_view vpn, prefix, protocol, subType, interface, address, nextHopVpn, tloc, color,
      status;
  Afi afi = Afi::kIpv4;
};

std::string_view Cell(std::string_view word) {
  return word == "-" ? std::string_view() : word;
}

bool IsStatus(std::string_view word) {
  return !word.empty() &&
         word.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ,-") == std::string_view::npos;
}

bool IsProtocol(std::string_view word) {
  return !word.empty() &&
         word.find_first_not_of("abcdefghijklmnopqrstuvwxyz-") == std::string_view::npos;
}

std::optional<Row> ReadRow(std::string_view text) {
  const RowWords<12> w(text);
  if ((w.size() != 11 && w.size() != 10) || w.overflow() || !IsDigits(w[0]) || !IsProtocol(w[2]) ||
      (w.size() == 11 && !IsStatus(w[10]))) {
    return std::nullopt;
  }
  const std::optional<PrefixText> prefix = ReadPrefix(w[1]);
  if (!prefix) {
    return std::nullopt;
  }
  Row row{w[0],       w[1],       w[2],       Cell(w[3]),  Cell(w[4]), Cell(w[5]),
          Cell(w[6]), Cell(w[7]), Cell(w[8]), Cell(w[10]), prefix->afi};
  return row;
}

// "ospf IA" (intra area, as the legend says), "ospf IE" (inter area), "bgp e", "omp"...
RouteSource SourceOfProtocol(std::string_view protocol) {
  const std::string_view head = protocol.substr(0, protocol.find(' '));
  const std::string_view sub =
      head.size() < protocol.size() ? protocol.substr(head.size() + 1) : "";
  if (head == "omp") {
    return RouteSource::kVpn;
  }
  if (head == "connected") {
    return RouteSource::kConnected;
  }
  if (head == "static") {
    return RouteSource::kStatic;
  }
  if (head == "ospf") {
    return sub == "IE"   ? RouteSource::kOspfInter
           : sub == "E1" ? RouteSource::kOspfExt1
           : sub == "E2" ? RouteSource::kOspfExt2
           : sub == "N1" ? RouteSource::kOspfNssa1
           : sub == "N2" ? RouteSource::kOspfNssa2
                         : RouteSource::kOspf;
  }
  if (head == "bgp") {
    return sub == "e"   ? RouteSource::kBgpExternal
           : sub == "i" ? RouteSource::kBgpInternal
                        : RouteSource::kBgp;
  }
  if (head == "eigrp") {
    return RouteSource::kEigrp;
  }
  if (head == "rip") {
    return RouteSource::kRip;
  }
  if (head == "dhcp") {
    return RouteSource::kDhcp;
  }
  if (head == "aggregate") {
    return RouteSource::kAggregate;
  }
  return RouteSource::kOther;
}

bool IsHeader(std::string_view text) {
  if (text.starts_with("---") && text.find_first_not_of('-') == std::string_view::npos) {
    return true;
  }
  const RowWords<3> w(text);
  return (w[0] == "VPN" && w[1] == "PREFIX") || (w[0] == "PROTOCOL" && w[1] == "NEXTHOP") ||
         text.starts_with("No entries found");
}

}  // namespace

std::span<const std::string_view> VedgeReader::Marks() const {
  return kMarks;
}

bool VedgeReader::IsOwnRouteLine(std::string_view line) const {
  return ReadRow(line).has_value();
}

void VedgeReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  RouteBuilder builder(sink, SourceOfProtocol);
  std::string key, rowKey;  // VPN, prefix, protocol and status: of the pending route, a row's
  std::string protocol;     // "bgp e"
  LineKind last = LineKind::kBlank;
  ForEachCaptureLine(capture, [&](std::string_view line) {
    const std::string_view text = files::TrimBlanks(line);
    LineKind kind = LineKind::kNotUnderstood;
    if (const std::optional<Row> row = ReadRow(text)) {
      // The rows of one route's paths repeat all but the path's cells.
      rowKey.assign(row->vpn).append("|").append(row->prefix).append("|").append(row->protocol);
      rowKey.append("|").append(row->subType).append("|").append(row->status);
      const bool samePath = builder.Pending() && rowKey == key;
      if (!samePath) {
        builder.SetVrf(row->vpn);
        builder.Begin(row->afi, {}, row->status, row->prefix);
        protocol.assign(row->protocol);
        if (!row->subType.empty()) {
          protocol.append(" ").append(row->subType);
        }
        builder.SetProtocol(protocol);
        builder.SetSelected(row->status.find('S') != std::string_view::npos);
        key.swap(rowKey);
      }
      RouteBuilder::Path path;
      if (!row->address.empty()) {
        path.address = row->address;
      } else if (!row->tloc.empty()) {
        path.address = row->tloc;  // an overlay route: its next hop is the remote TLOC
      }
      if (!row->interface.empty()) {
        path.interface = row->interface;
      } else if (!row->color.empty()) {
        path.interface = row->color;  // the transport that carries it
      }
      if (!row->nextHopVpn.empty()) {
        path.vrf = row->nextHopVpn;
      }
      builder.AddPath(path);
      kind = samePath ? LineKind::kPath : LineKind::kRoute;
    } else if (IsHeader(text)) {
      kind = LineKind::kHeader;
      builder.Finish();
    } else if (text.starts_with("Codes ") ||
               (last == LineKind::kLegend && text.find(" -> ") != std::string_view::npos)) {
      kind = LineKind::kLegend;
      builder.Finish();
    } else {
      kind = ClassifyOtherLine(text, last == LineKind::kLegend);
      if (kind != LineKind::kPager && kind != LineKind::kBlank) {
        builder.Finish();
      }
    }
    if (kind != LineKind::kPager) {
      last = kind;
    }
    account.Count(kind, line);
  });
  builder.Finish();
}

}  // namespace kestrelon::tables
