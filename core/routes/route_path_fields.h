// What the part of a route line after its destination holds, for every platform that prints
// routes in the IOS manner: "[110/20] via 10.1.1.2 (red), 00:00:05, Ethernet0",
// "is directly connected, 3w4d, Vlan5", "is a summary, 00:01:00, Null0", "[200/0], 2w0d, Null0",
// a path of its own ("[110/20] via …", "via …") or the rest of a wrapped one ("00:54:19, Lo0").
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrelon::routes {

struct RoutePathFields {
  bool cost = false;  // a "[distance/metric]" was read
  std::optional<std::uint32_t> distance;
  std::optional<std::uint64_t> metric;
  bool via = false;
  std::string_view viaTarget;  // the word after "via": an address, a name or an interface
  std::string_view viaVrf;     // "red" of "(red)" or of "%red" after it
  bool connected = false;      // "is directly connected" or "directly connected"
  bool summary = false;        // "is a summary"
  bool receive = false;        // "receive": a local route of an IPv6 table
  bool subnetted = false;      // a classful header: "is subnetted", "is variably subnetted"
  bool backup = false;         // "(!)": an FRR backup path
  bool badNumber = false;      // a distance or metric that is no number in range ("[-1/0]")
  std::string_view interface;  // the first comma field that names an interface
  std::string_view uptime;     // the first comma field that is a time ("00:01:02", "1d18h")

  // Whether the text starts a path of its own rather than completing the one before.
  bool StartsPath() const { return cost || via || connected || summary || receive; }
  bool Empty() const { return !StartsPath() && interface.empty() && uptime.empty(); }
};

// Reads text, the part of a line after the destination and mask (leading blanks allowed).
RoutePathFields ReadRoutePathFields(std::string_view text);

// The interface a comma field names: the field itself when it is one word ("Gi0/0",
// "outside"), the name before its description ("Tunnel11 Static Interface GRE ..."), else empty.
std::string_view InterfaceOfField(std::string_view field);

// Whether a comma field reads as a time: a digit first, then digits, ":", "." or the unit
// letters y, w, d, h, m, s ("00:01:02", "1d18h", "2w0d", "3:21:21").
bool IsUptimeText(std::string_view text);

}  // namespace kestrelon::routes
