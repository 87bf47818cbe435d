// The readers of branch-office routers (Yamaha RTX, Fujitsu Si-R, IIJ SEIL), campus switches
// (AOS-CX, ProCurve) and Check Point Gaia on the shapes their documentation shows and the corpus
// lacks: IPv6, VRFs, wrapped rows, Japanese headings, no heading at all. Each case checks the
// records, the line account and where auto detection places the capture.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tables/line_accounting.h"
#include "tables/platform_detect.h"
#include "tables/route_table.h"

namespace kestrelon::tables {
namespace {

// "vrf afi protocol|flags|source|selected|prefix|distance/metric|hops|uptime", a hop as
// "address,interface[@vrf]".
std::vector<std::string> Records(Platform platform, const std::string& capture,
                                 LineAccount& account) {
  RouteTable table;
  MakeReader(platform)->Read(capture, table, account);
  std::vector<std::string> records;
  const auto text = [](const OptionalText& t) { return t ? std::string(*t) : "-"; };
  const auto number = [](const auto& v) { return v ? std::to_string(*v) : std::string("-"); };
  table.ForEach([&](const RouteView& r) {
    std::string hops;
    for (const NextHopView& h : r.nextHops) {
      hops += (hops.empty() ? "" : ";") + text(h.address) + "," + text(h.interface) +
              (h.vrf ? "@" + std::string(*h.vrf) : "");
    }
    records.push_back(
        std::string(r.vrf) + " " + std::string(AfiName(r.afi)) + " " + std::string(r.protocol) +
        "|" + std::string(r.flags) + "|" + std::string(SourceName(r.source)) + "|" +
        (r.selected ? (*r.selected ? "yes" : "no") : "-") + "|" + std::string(r.prefix) + "|" +
        number(r.distance) + "/" + number(r.metric) + "|" + hops + "|" + text(r.uptime));
  });
  return records;
}

// As a terminal log holds it: CR LF line ends, indentation stripped.
std::string Reshaped(const std::string& capture) {
  std::string out;
  std::size_t at = 0;
  while (at < capture.size()) {
    const std::size_t end = capture.find('\n', at);
    const std::size_t start = capture.find_first_not_of(" \t", at);
    out.append(capture, std::min(start, end), end - std::min(start, end)).append("\r\n");
    at = end + 1;
  }
  return out;
}

struct Case {
  const char* what;
  Platform platform;
  std::string capture;
  std::vector<std::string> records;
  std::vector<std::size_t> notUnderstood = {};  // line numbers
};

// A route line in one of these platforms' own shapes is claimed by that platform alone, and none
// is claimed where another platform printed it: auto detection must never guess wrong.
TEST(BranchReaders, ClaimOnlyTheirOwnRouteLines) {
  const std::pair<Platform, const char*> own[] = {
      {Platform::kYamaha, "10.1.0.0/24         192.168.1.253          LAN2      OSPF     cost=2"},
      {Platform::kYamaha, "203.0.113.1/32      -                    PP[01] temporary"},
      {Platform::kSir, "*Be 10.6.13.0/24       192.168.50.236        20 00:16:09  lan1"},
      {Platform::kSeil, "192.0.2.222        127.0.0.1          loopback  M*        -"},
      {Platform::kAoscx, "10.0.0.0/24, vrf green"},
      {Platform::kProcurve,
       "  10.11.11.0/24      mgmt            1111 connected            1          0"},
      {Platform::kGaia, "S         0.0.0.0/0           via 192.0.2.1, eth0, cost 0, age 4238351"},
  };
  const Platform branch[] = {Platform::kYamaha, Platform::kSir,      Platform::kSeil,
                             Platform::kAoscx,  Platform::kProcurve, Platform::kGaia};
  for (const auto& [platform, line] : own) {
    for (const Platform p : branch) {
      EXPECT_EQ(MakeReader(p)->IsOwnRouteLine(line), p == platform)
          << PlatformName(p) << ": " << line;
    }
  }
  const char* others[] = {
      "O E2    10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02, Ethernet0",
      "S*      0.0.0.0/0 [1/0] via 192.0.2.1",
      "C>* 10.0.0.0/24 is directly connected, eth0, 00:16:31",
      "10.0.0.0/8         *[Static/5] 1d 00:00:01",
      "default via 192.0.2.1 dev eth0 proto dhcp metric 100",
      "10.1.0.0/16 dev eth1 proto kernel scope link src 10.1.0.5",
      "0.0.0.0         192.168.1.1     0.0.0.0         UG    100    0        0 eth0",
      "0.0.0.0/0   Static  60   0    RD  10.1.1.1        Vlanif100",
      "10.0.0.0/24        Direct 0    0           10.0.0.1        Vlan10",
      "0.0.0.0/0         10.1.1.1        10     A S                 ethernet1/1",
      " 0 ADS  0.0.0.0/0          192.168.8.1               1",
      "1       10.1.0.0/24        10.2.2.2        eth 2/2         110/28  O    2d10h  -",
      "0     0.0.0.0/0   static  -   ge0/0   10.0.0.1   -   -   -   -   F,S",
  };
  for (const char* line : others) {
    for (const Platform p : branch) {
      EXPECT_FALSE(MakeReader(p)->IsOwnRouteLine(line)) << PlatformName(p) << ": " << line;
    }
  }
}

TEST(BranchReaders, ReadWhatEachPlatformPrints) {
  const Case cases[] = {
      {"Yamaha: IPv6 after its bare prompt, default by the link-local gateway, RIPng metric",
       Platform::kYamaha,
       "# show ipv6 route\n"
       "Destination              Gateway          Interface  Kind      Additional Info.\n"
       "default                  fe80::1          LAN2       static\n"
       "2001:db8:10::/64         -                LAN1       implicit\n"
       "2001:db8:20::/64         fe80::2          LAN2       RIPng     metric=2\n",
       {"default ipv6 static||static|-|::/0|-/-|fe80::1,LAN2|-",
        "default ipv6 implicit||connected|-|2001:db8:10::/64|-/-|-,LAN1|-",
        "default ipv6 RIPng||rip|-|2001:db8:20::/64|-/2|fe80::2,LAN2|-"}},
      {"Yamaha: Japanese heading, rows of one destination are one route's paths",
       Platform::kYamaha,
       "宛先ネットワーク    ゲートウェイ     インタフェース  種別  付加情報\n"
       "default             -                    PP[01]    static\n"
       "10.0.0.0/8          192.168.1.254          LAN2    static  k(1)\n"
       "10.0.0.0/8          192.168.1.253          LAN2    static  w(0)\n"
       "10.1.0.0/24         192.168.1.253          LAN2      OSPF     cost=20\n",
       {"default ipv4 static||static|-|0.0.0.0/0|-/-|-,PP[01]|-",
        "default ipv4 static||static|-|10.0.0.0/8|-/-|192.168.1.254,LAN2;192.168.1.253,LAN2|-",
        "default ipv4 OSPF||ospf|-|10.1.0.0/24|-/20|192.168.1.253,LAN2|-"}},
      {"Si-R: no heading, FP flags, a wide IPv6 destination alone on its line",
       Platform::kSir,
       "*S  0.0.0.0/0          192.0.2.1              1 1d02h03m  lan0\n"
       "XO  10.1.0.0/16        192.0.2.2            110 00:01:02  lan0\n"
       " R  10.1.0.0/16        192.0.2.3            120 00:01:02  lan0\n"
       "*Be 2001:db8:aaaa:bbbb:cccc::/80\n"
       "                       2001:db8::1           20 2w3d04h   lan1\n",
       {"default ipv4 S|*|static|yes|0.0.0.0/0|1/-|192.0.2.1,lan0|1d02h03m",
        "default ipv4 O|X|ospf|no|10.1.0.0/16|110/-|192.0.2.2,lan0|00:01:02",
        "default ipv4 R||rip|no|10.1.0.0/16|120/-|192.0.2.3,lan0|00:01:02",
        "default ipv6 Be|*|bgp-external|yes|2001:db8:aaaa:bbbb:cccc::/80|20/-|2001:db8::1,lan1|"
        "2w3d04h"}},
      {"SEIL: route6, a row wrapped after its wide gateway, a host without its length",
       Platform::kSeil,
       "# show status route6\n"
       "Destination              Gateway                   Interface Flags  Dist.\n"
       "default                  fe80::1%pppoe0\n"
       "                                                   pppoe0    S*        1\n"
       "2001:db8:1::/64          lan1                      lan1      C*        0\n"
       "2001:db8:1::1            ::1                       lo0       M*        -\n",
       {"default ipv6 S|*|static|-|::/0|1/-|fe80::1,pppoe0|-",
        "default ipv6 C|*|connected|-|2001:db8:1::/64|0/-|-,lan1|-",
        "default ipv6 M|*|other|-|2001:db8:1::1/128|-/-|::1,lo0|-"}},
      {"SEIL: a wrapped row whose rest never comes, a line of no table",
       Platform::kSeil,
       "Destination        Gateway            Interface Flags  Dist.\n"
       "10.9.0.0/16        fe80::1%lan0\n"
       "10.1.0.0/16        10.0.0.1           lan0      S*        1\n"
       "link down on lan1\n",
       {"default ipv4 S|*|static|-|10.1.0.0/16|1/-|10.0.0.1,lan0|-"},
       {2, 4}},
      {"AOS-CX: IPv6 in a VRF, ECMP, the protocol of the path lines",
       Platform::kAoscx,
       "sw1# show ipv6 route vrf red\n"
       "Displaying ipv6 routes selected for forwarding\n"
       "\n"
       "'[x/y]' denotes [distance/metric]\n"
       "\n"
       "2001:db8::/64, vrf red\n"
       "\tvia  vlan10,  [0/0],  connected\n"
       "::/0, vrf red\n"
       "\tvia  2001:db8::1,  [1/0],  static\n"
       "\tvia  2001:db8::2,  [1/0],  static\n",
       {"red ipv6 connected||connected|-|2001:db8::/64|0/0|-,vlan10|-",
        "red ipv6 static||static|-|::/0|1/0|2001:db8::1,-;2001:db8::2,-|-"}},
      {"AOS-CX: routes that count their next hops, one in another VRF, a blackhole",
       Platform::kAoscx,
       "sw1# show ip route vrf green\n"
       "Displaying ipv4 routes selected for forwarding\n"
       "'[x/y]' denotes [distance/metric]\n"
       "10.0.0.0/24,  1 unicast next-hops\n"
       "        via 20.0.0.1[vrf red], [1/0], static\n"
       "10.9.0.0/16, blackhole\n",
       {"green ipv4 static||static|-|10.0.0.0/24|1/0|20.0.0.1,-@red|-",
        "green ipv4 blackhole||discard|-|10.9.0.0/16|-/-||-"}},
      {"AOS-CX: the table of later releases, a further path without its prefix",
       Platform::kAoscx,
       "VRF: default\n"
       "\n"
       "Prefix              Nexthop          Interface     VRF(egress)       Origin/ Distance/    "
       "Age\n"
       "                                                                     Type    Metric\n"
       "----------------------------------------------------------------------------------------\n"
       "0.0.0.0/0           10.0.0.1         1/1/1         -                 B/E     [20/0]       "
       "01h:02m:03s\n"
       "                    10.0.0.5         1/1/2         -                 B/E     [20/0]       "
       "01h:02m:03s\n"
       "10.1.0.0/24         -                vlan10        -                 C       [0/0]        "
       "-\n",
       {"default ipv4 B/E||bgp-external|-|0.0.0.0/0|20/0|10.0.0.1,1/1/1;10.0.0.5,1/1/2|01h:02m:03s",
        "default ipv4 C||connected|-|10.1.0.0/24|0/0|-,vlan10|-"}},
      {"ProCurve: OSPF sub-type, a VLAN without a gateway, a footnote's stars; IPv6 entries",
       Platform::kProcurve,
       "                                IP Route Entries\n"
       "\n"
       "  Destination        Gateway         VLAN Type      Sub-Type   Metric     Dist.\n"
       "  ------------------ --------------- ---- --------- ---------- ---------- -----\n"
       "  10.2.0.0/16        10.0.0.9        20   ospf      E2         20         110\n"
       "  10.20.0.0/24                       20   connected            1          0\n"
       "**2.0.0.9/32         aruba-vpn            static               1          1\n"
       "\n"
       "                         IPv6 Route Entries\n"
       "\n"
       "Dest : ::/0                                            Type : static\n"
       "Gateway : fe80::1%vlan10                     Dist. : 40   Metric : 0\n"
       "\n"
       "Dest : fe80::%vlan10                                   Type : connected\n"
       "Gateway : VLAN10                             Dist. : 0    Metric : 1\n",
       {"default ipv4 ospf E2||ospf-ext2|-|10.2.0.0/16|110/20|10.0.0.9,20|-",
        "default ipv4 connected||connected|-|10.20.0.0/24|0/1|-,20|-",
        "default ipv4 static|**|static|-|2.0.0.9/32|1/1|-,aruba-vpn|-",
        "default ipv6 static||static|-|::/0|40/0|fe80::1,vlan10|-",
        "default ipv6 connected||connected|-|fe80::/64|0/1|-,VLAN10|-"}},
      {"Gaia: IPv6, a further path on its own line, a comment with its indentation stripped",
       Platform::kGaia,
       "Codes: C - Connected, S - Static, R - RIPng, B - BGP,\n"
       "       O - OSPFv3 IntraArea (IA - InterArea, E - External),\n"
       "       A - Aggregate, K - Kernel Remnant, H - Hidden, P - Suppressed\n"
       "\n"
       "C         ::1/128             is directly connected, lo\n"
       "S         ::/0                via 2001:db8::1, eth1, cost 0, age 100\n"
       "                              via 2001:db8::2, eth2, cost 0, age 100\n"
       "uplink pair\n"
       "O IA      2001:db8:5::/64     via fe80::1, eth1, cost 20, age 50\n",
       {"default ipv6 C||connected|-|::1/128|-/-|-,lo|-",
        "default ipv6 S||static|-|::/0|-/0|2001:db8::1,eth1;2001:db8::2,eth2|100",
        "default ipv6 O IA||ospf-inter|-|2001:db8:5::/64|-/20|fe80::1,eth1|50"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LineAccount account;
    EXPECT_EQ(Records(c.platform, c.capture, account), c.records);
    EXPECT_EQ(account.lines(),
              static_cast<std::size_t>(std::count(c.capture.begin(), c.capture.end(), '\n')));
    std::vector<std::size_t> lines;
    for (const LineExample& example : account.examples()) {
      lines.push_back(example.line);
    }
    EXPECT_EQ(lines, c.notUnderstood);
    // One route line per route: further paths and wrapped rows' rest are paths.
    EXPECT_EQ(account.count(LineKind::kRoute), c.records.size());
    EXPECT_EQ(DetectPlatform(c.capture), c.platform);
    LineAccount reshaped;
    EXPECT_EQ(Records(c.platform, Reshaped(c.capture), reshaped), c.records);
    EXPECT_EQ(DetectPlatform(Reshaped(c.capture)), c.platform);
  }
}

}  // namespace
}  // namespace kestrelon::tables
