// The route tables of the zebra-derived routers (Quagga, FRRouting, EdgeOS, FortiOS): a code
// with its marks ("O>*", "S    *>", "O*E2"), the destination, then the path,
// "[110/20] via 10.0.0.1, eth0, weight 1, 00:01:02", "is directly connected, port1",
// "via 1.1.1.1 (recursive is directly connected, pppoe4) )", "unreachable (blackhole)", and
// further paths on lines of their own.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "tables/address_text.h"
#include "tables/route_sink.h"
#include "tables/route_source.h"

namespace kestrelon::tables {

struct ZebraPath {
  std::optional<std::uint32_t> distance;
  std::optional<std::uint64_t> metric;
  std::string_view address;
  std::string_view interface;
  std::string_view vrf;     // "(vrf red)" after the next hop or its interface
  std::string_view uptime;  // "00:01:02", "1d02h03m", "01w2d03h"
  bool recursive = false;   // a bare "(recursive)": the lines after it resolve this next hop
};

// Reads text, what follows the destination (or the marks of a further path): none when it opens
// no path ("[d/m]", "via", "is directly connected", "unreachable", "is a summary") or its
// numbers cannot be read.
std::optional<ZebraPath> ReadZebraPath(std::string_view text);

// A route line's head: the code words ("O", "O IA", "O*E2"), the marks printed beside them
// (">*", "*>"), the destination and what follows it.
struct ZebraHead {
  std::string_view code;
  std::string_view marks;
  PrefixText prefix;
  std::string_view prefixText;
  std::string_view rest;
};
std::optional<ZebraHead> ReadZebraHead(std::string_view line);

// What sets one platform of the family apart when its table is read.
struct ZebraDialect {
  // The VRF a heading line (blanks trimmed) names, or none.
  std::optional<std::string_view> (*sectionVrf)(std::string_view text);
  RouteSource (*sourceOf)(std::string_view protocol);
  // Whether every table prints the routes not selected too, so that a route without ">" is
  // one not in use; else only a legend that lists ">" says so.
  bool printsUnselected;
};

class LineAccount;

// Reads a whole capture of the family into sink, counting every line in account.
void ReadZebraTable(std::string_view capture, RouteSink& sink, LineAccount& account,
                    const ZebraDialect& dialect);

}  // namespace kestrelon::tables
