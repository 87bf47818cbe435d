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
  // The code's first word and its type; a type not listed gives the family.
  struct Known {
    std::string_view head, type;
    RouteSource source;
  };
  static constexpr Known kKnown[] = {
      {"C", "", RouteSource::kConnected},
      {"L", "", RouteSource::kLocal},
      {"S", "", RouteSource::kStatic},
      {"U", "", RouteSource::kStatic},   // per-user static
      {"SI", "", RouteSource::kStatic},  // ASA's static inter-VRF
      {"K", "", RouteSource::kKernel},
      {"O", "IA", RouteSource::kOspfInter},  // "o" is ODR: other
      {"O", "E1", RouteSource::kOspfExt1},
      {"O", "E2", RouteSource::kOspfExt2},
      {"O", "N1", RouteSource::kOspfNssa1},
      {"O", "N2", RouteSource::kOspfNssa2},
      {"O", "", RouteSource::kOspf},
      {"IA", "", RouteSource::kOspfInter},  // the type alone, as some legends list it
      {"E1", "", RouteSource::kOspfExt1},
      {"E2", "", RouteSource::kOspfExt2},
      {"N1", "", RouteSource::kOspfNssa1},
      {"N2", "", RouteSource::kOspfNssa2},
      {"i", "L1", RouteSource::kIsisL1},
      {"i", "L2", RouteSource::kIsisL2},
      {"i", "ia", RouteSource::kIsisInter},
      {"i", "su", RouteSource::kAggregate},
      {"i", "", RouteSource::kIsis},
      {"I", "", RouteSource::kIsis},
      {"B", "I", RouteSource::kBgpInternal},
      {"B", "E", RouteSource::kBgpExternal},
      {"B", "A", RouteSource::kAggregate},
      {"B", "", RouteSource::kBgp},
      {"BI", "", RouteSource::kBgp},  // ASA's BGP inter-VRF
      {"D", "EX", RouteSource::kEigrpExt},
      {"D", "", RouteSource::kEigrp},
      {"EX", "", RouteSource::kEigrpExt},
      {"R", "", RouteSource::kRip},
      {"H", "", RouteSource::kNhrp},
      {"A", "", RouteSource::kAggregate},  // EOS's aggregates and summaries
  };
  const std::string_view head = code.substr(0, code.find(' '));
  const std::string_view type = head.size() < code.size() ? code.substr(head.size() + 1) : "";
  for (const Known& known : kKnown) {
    if (known.head == head && (known.type.empty() || known.type == type)) {
      return known.source;
    }
  }
  return RouteSource::kOther;
}

}  // namespace kestrelon::tables
