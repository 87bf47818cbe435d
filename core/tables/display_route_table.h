// The routing tables that Huawei VRP and H3C Comware print ("display ip routing-table",
// "display ipv6 routing-table", verbose or not): the two grew from one code base and print
// alike, so one reading serves both; only the marks that place a capture differ.
#pragma once

#include <string_view>

#include "tables/line_accounting.h"
#include "tables/route_sink.h"
#include "tables/route_source.h"

namespace kestrelon::tables {

// Reads a capture of either platform: column rows ("10.1.0.0/16  OSPF  10  2  D  10.1.1.2
// GE0/0/1"), their further paths and wrapped interface names, and the blocks of "Key: value"
// pairs of the IPv6 and verbose tables; "Routing Tables: X" and "vpn-instance X" name the VRF.
void ReadDisplayRouteTable(std::string_view capture, RouteSink& sink, LineAccount& account);

// Which column row line is: with a Flags column ("D", "RD") before the next hop, as VRP prints
// it, or without, as Comware does; none for any other line. Only the protocols these platforms
// print count, so that no other platform's line is taken for a row.
enum class DisplayRowShape { kNone, kWithFlags, kWithoutFlags };
DisplayRowShape ClassifyDisplayRow(std::string_view line);

// The source of a route as these platforms print its protocol ("O_ASE", "ISIS-L1", "IBGP",
// "IS_L2"); a Direct host route to the router itself (next hop 127.0.0.1 or ::1, or an InLoop
// interface) is local, a Direct route to NULL0 a discard.
RouteSource SourceOfDisplayProtocol(std::string_view protocol, bool hostRoute,
                                    std::string_view nextHop, std::string_view interface);

}  // namespace kestrelon::tables
