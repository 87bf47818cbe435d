// One route of a routing table as a record, the same for every platform the readers know.
// The views point into the reader's or the table's storage and are valid during the call
// that hands them out.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "tables/route_source.h"

namespace kestrelon::tables {

enum class Afi : std::uint8_t { kIpv4, kIpv6 };

// "ipv4" or "ipv6".
std::string_view AfiName(Afi afi);

// A text that may be absent (null in JSON).
using OptionalText = std::optional<std::string_view>;

// One path of a route: each part as printed, absent when the capture does not show it.
struct NextHopView {
  OptionalText address;
  OptionalText interface;
  OptionalText
      vrf;  // the next hop's own VRF: "(red)", "%red" or "(default:ipv6)" as the text inside
};

struct RouteView {
  std::string_view vrf = "default";  // the table's VRF; "default" for the global table
  Afi afi = Afi::kIpv4;
  std::string_view protocol;  // the code with its type, as printed: "O E2", "i L1", "B"
  std::string_view flags;     // "*" for a candidate default, the column-5 flag; "" when none
  RouteSource source = RouteSource::kOther;  // the protocol's family, the same on every platform
  // Whether the platform marks the route as the one in use, where it prints routes not in use
  // too ("*" of Junos, ">" of the Quagga family, "A" of PAN-OS); none where it does not say.
  std::optional<bool> selected;
  std::string_view prefix;  // "10.1.0.0/16", "2001:db8::/64"; address as printed
  std::optional<std::uint32_t> distance;
  std::optional<std::uint64_t> metric;
  std::span<const NextHopView> nextHops;  // one per path, in printed order
  OptionalText uptime;
};

// The VRF name a table without a name of its own gets.
inline constexpr std::string_view kDefaultVrf = "default";

}  // namespace kestrelon::tables
