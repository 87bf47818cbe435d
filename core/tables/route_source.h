// The family of a route's protocol in one vocabulary for every platform ("ospf-ext2",
// "bgp-external"), so that tables printed by two platforms compare route by route.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrelon::tables {

enum class RouteSource : std::uint8_t {
  kOther,  // printed, but in no family below
  kConnected,
  kLocal,  // the router's own address (host route)
  kStatic,
  kKernel,  // put in by the host's kernel or another program (Linux, the Quagga family's "K")
  kDhcp,
  kOspf,  // OSPF, intra-area, or a platform that does not print the type
  kOspfInter,
  kOspfExt1,
  kOspfExt2,
  kOspfNssa1,
  kOspfNssa2,
  kIsis,  // IS-IS, level not printed
  kIsisL1,
  kIsisL2,
  kIsisInter,
  kBgp,  // BGP, internal or external not printed
  kBgpInternal,
  kBgpExternal,
  kEigrp,
  kEigrpExt,
  kRip,
  kAggregate,  // a summary or aggregate the router makes itself
  kLdp,
  kRsvp,
  kMpls,  // other label routes
  kNhrp,
  kDiscard,  // a route to nowhere (blackhole, reject, Null0)
  kVpn,      // routes learned over an overlay (SD-WAN OMP, DMVPN)
};
inline constexpr std::size_t kRouteSourceCount = 29;

// "other", "connected", "local", "static", "kernel", "dhcp", "ospf", "ospf-inter", "ospf-ext1",
// "ospf-ext2", "ospf-nssa1", "ospf-nssa2", "isis", "isis-l1", "isis-l2", "isis-inter", "bgp",
// "bgp-internal", "bgp-external", "eigrp", "eigrp-ext", "rip", "aggregate", "ldp", "rsvp", "mpls",
// "nhrp", "discard", "vpn".
std::string_view SourceName(RouteSource source);
std::optional<RouteSource> SourceFromName(std::string_view name);

// Whether two sources can be the same protocol as two platforms print it: equal, or one is the
// bare family ("ospf", "isis", "bgp") of the other, as a platform that does not print the type.
bool SourcesAgree(RouteSource a, RouteSource b);

// The source of an IOS-style route code as the builder keeps it ("O E2", "B", "i L1", "D EX"):
// IOS, IOS-XE, IOS-XR, EOS, ASA, FortiOS and the Quagga family print these.
RouteSource SourceOfCode(std::string_view code);

}  // namespace kestrelon::tables
