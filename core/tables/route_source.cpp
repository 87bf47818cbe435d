#include "tables/route_source.h"

#include <array>

namespace kestrelon::tables {
namespace {

constexpr std::array<std::string_view, kRouteSourceCount> kNames = {
    "other",        "connected",  "local",     "static",     "kernel",     "dhcp",
    "ospf",         "ospf-inter", "ospf-ext1", "ospf-ext2",  "ospf-nssa1", "ospf-nssa2",
    "isis",         "isis-l1",    "isis-l2",   "isis-inter", "bgp",        "bgp-internal",
    "bgp-external", "eigrp",      "eigrp-ext", "rip",        "aggregate",  "ldp",
    "rsvp",         "mpls",       "nhrp",      "discard",    "vpn"};

// The family a source refines: kOspfExt2 refines kOspf; a source with none refines itself.
RouteSource Family(RouteSource source) {
  switch (source) {
    case RouteSource::kOspfInter:
    case RouteSource::kOspfExt1:
    case RouteSource::kOspfExt2:
    case RouteSource::kOspfNssa1:
    case RouteSource::kOspfNssa2:
      return RouteSource::kOspf;
    case RouteSource::kIsisL1:
    case RouteSource::kIsisL2:
    case RouteSource::kIsisInter:
      return RouteSource::kIsis;
    case RouteSource::kBgpInternal:
    case RouteSource::kBgpExternal:
      return RouteSource::kBgp;
    default:
      return source;
  }
}

}  // namespace

std::string_view SourceName(RouteSource source) {
  const auto index = static_cast<std::size_t>(source);
  return index < kNames.size() ? kNames[index] : kNames[0];
}

std::optional<RouteSource> SourceFromName(std::string_view name) {
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    if (kNames[i] == name) {
      return static_cast<RouteSource>(i);
    }
  }
  return std::nullopt;
}

bool SourcesAgree(RouteSource a, RouteSource b) {
  if (a == b) {
    return true;
  }
  const RouteSource family = Family(a);
  return family == Family(b) && (a == family || b == family);
}

RouteSource SourceOfCode(std::string_view code) {
  const std::string_view head = code.substr(0, code.find(' '));
  const std::string_view type = head.size() < code.size() ? code.substr(head.size() + 1) : "";
  if (head == "C") {
    return RouteSource::kConnected;
  }
  if (head == "L") {
    return RouteSource::kLocal;
  }
  if (head == "S" || head == "U" || head == "SI") {  // U: per-user static (IOS)
    return RouteSource::kStatic;
  }
  if (head == "K") {
    return RouteSource::kKernel;
  }
  if (head == "O") {  // "o" is ODR
    if (type == "IA")
      return RouteSource::kOspfInter;
    if (type == "E1")
      return RouteSource::kOspfExt1;
    if (type == "E2")
      return RouteSource::kOspfExt2;
    if (type == "N1")
      return RouteSource::kOspfNssa1;
    if (type == "N2")
      return RouteSource::kOspfNssa2;
    if (type == "E")
      return RouteSource::kOspf;  // an external type not printed
    return RouteSource::kOspf;
  }
  if (head == "IA") {  // FortiOS and ASA print "O IA" as "IA" alone in some releases
    return RouteSource::kOspfInter;
  }
  if (head == "E1" || head == "E2" || head == "N1" || head == "N2") {
    return head == "E1"   ? RouteSource::kOspfExt1
           : head == "E2" ? RouteSource::kOspfExt2
           : head == "N1" ? RouteSource::kOspfNssa1
                          : RouteSource::kOspfNssa2;
  }
  if (head == "i" || head == "I") {
    if (type == "L1")
      return RouteSource::kIsisL1;
    if (type == "L2")
      return RouteSource::kIsisL2;
    if (type == "ia")
      return RouteSource::kIsisInter;
    if (type == "su")
      return RouteSource::kAggregate;
    return RouteSource::kIsis;
  }
  if (head == "B" || head == "BI") {
    if (type == "I")
      return RouteSource::kBgpInternal;
    if (type == "E")
      return RouteSource::kBgpExternal;
    if (type == "A")
      return RouteSource::kAggregate;
    return RouteSource::kBgp;
  }
  if (head == "D") {
    return type == "EX" ? RouteSource::kEigrpExt : RouteSource::kEigrp;
  }
  if (head == "EX") {
    return RouteSource::kEigrpExt;
  }
  if (head == "R") {
    return RouteSource::kRip;
  }
  if (head == "H") {
    return RouteSource::kNhrp;
  }
  if (head == "A" && type.empty()) {
    return RouteSource::kAggregate;  // EOS "A" (aggregate); IOS "a" is application
  }
  return RouteSource::kOther;
}

}  // namespace kestrelon::tables
