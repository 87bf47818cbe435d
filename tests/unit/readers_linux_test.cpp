// The Linux reader on what the corpus lacks: IPv6, tables and VRFs, types, multipath in both
// kernels' shapes, wrapped lines, net-tools tables, logs without indentation; records written
// out as "vrf afi protocol|flags|source|prefix|metric|hops", and the lines counted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tables/json_writer.h"
#include "tables/line_accounting.h"
#include "tables/platform_detect.h"
#include "tables/readers/linux.h"
#include "tables/route_table.h"

namespace kestrelon::tables {
namespace {

std::vector<std::string> Records(const std::string& capture, LineAccount& account) {
  RouteTable table;
  LinuxReader().Read(capture, table, account);
  std::vector<std::string> records;
  table.ForEach([&](const RouteView& r) {
    std::string hops;
    for (const NextHopView& h : r.nextHops) {
      hops += (hops.empty() ? "" : ";") + std::string(h.address.value_or("-")) + "," +
              std::string(h.interface.value_or("-"));
    }
    records.push_back(std::string(r.vrf) + " " + std::string(AfiName(r.afi)) + " " +
                      std::string(r.protocol) + "|" + std::string(r.flags) + "|" +
                      std::string(SourceName(r.source)) + "|" + std::string(r.prefix) + "|" +
                      (r.metric ? std::to_string(*r.metric) : "-") + "|" + hops);
  });
  return records;
}

struct Case {
  const char* what;
  std::string capture;
  std::vector<std::string> records;
  std::size_t routeLines, pathLines, otherLines;  // other: prompt, header, blank
};

TEST(LinuxReader, ReadsEveryShapeAndCountsEveryLine) {
  const Case cases[] = {
      {"ip -6 route: default without a next hop, multipath, table local, error routes",
       "root@host:~# ip -6 route show table all\n"
       "2001:db8:1::/64 dev eth0 proto kernel metric 256 expires 86383sec pref medium\n"
       "default proto static metric 1024 pref medium\n"
       "\tnexthop via fe80::1 dev eth0 weight 1\n"
       "\tnexthop via fe80::2 dev eth1 weight 1 dead linkdown\n"
       "default dev ppp0 table 100 metric 1024 pref medium\n"
       "unreachable 2001:db8:9::/48 dev lo proto ra metric 1024 error -113 pref medium\n"
       "local 2001:db8:1::5 dev eth0 table local proto kernel metric 0 pref medium\n"
       "anycast fe80:: dev eth0 table local proto kernel metric 0 pref medium\n",
       {"default ipv6 kernel||connected|2001:db8:1::/64|256|-,eth0",
        "default ipv6 static||static|::/0|1024|fe80::1,eth0;fe80::2,eth1",
        "100 ipv6 ||static|::/0|1024|-,ppp0",
        "default ipv6 ra|unreachable|discard|2001:db8:9::/48|1024|-,lo",
        "local ipv6 kernel|local|local|2001:db8:1::5/128|0|-,eth0",
        "local ipv6 kernel|anycast|local|fe80::/128|0|-,eth0"},
       6,
       2,
       1},
      {"ip route in a VRF, reshaped as a log: no indentation, CR LF, attributes never next hops",
       "[admin@fw ~]$ ip route show vrf red\r\n"
       "default nhid 30 proto 186 metric 20\r\n"
       "nexthop via 10.0.0.1 dev eth3 weight 1\r\n"
       "nexthop via 10.0.0.2 dev eth4 weight 1\r\n"
       "10.1.0.0/16 via inet6 fe80::1 dev eth2 proto bgp metric 20 onlink\r\n"
       "10.5.0.0/24 encap mpls 100/200 via 10.0.0.9 dev eth5 proto static mtu lock 1400 "
       "src 10.0.0.3\r\n"
       "blackhole 10.9.0.0/16\r\n"
       "broadcast 10.0.0.255 dev eth5 table local proto kernel scope link src 10.0.0.3\r\n"
       "10.0.0.0/24 dev eth5 proto kernel scope link src 10.0.0.3 linkdown\r\n"
       "\r\n"
       "$ ip route\r\n"
       "default via 192.0.2.1 dev eth0 proto dhcp src 192.0.2.7 metric 100\r\n",
       {"red ipv4 186||bgp|0.0.0.0/0|20|10.0.0.1,eth3;10.0.0.2,eth4",
        "red ipv4 bgp|onlink|bgp|10.1.0.0/16|20|fe80::1,eth2",
        "red ipv4 static||static|10.5.0.0/24|-|10.0.0.9,eth5",
        "red ipv4 |blackhole|discard|10.9.0.0/16|-|",
        "local ipv4 kernel|broadcast|local|10.0.0.255/32|-|-,eth5",
        "red ipv4 kernel|linkdown|connected|10.0.0.0/24|-|-,eth5",
        "default ipv4 dhcp||dhcp|0.0.0.0/0|100|192.0.2.1,eth0"},
       7,
       2,
       3},
      {"a wrapped line, a cache line, and older kernels' IPv6 multipath one line a path",
       "10.2.0.0/16 via 10.0.0.1 dev eth0\n"
       "    proto static metric 5\n"
       "    cache expires 300sec mtu 1400\n"
       "2001:db8::/64 via fe80::1 dev eth0 proto zebra metric 20 pref medium\n"
       "2001:db8::/64 via fe80::2 dev eth1 proto zebra metric 20 pref medium\n"
       "2001:db8::/64 via fe80::3 dev eth1 proto zebra metric 30 pref medium\n",
       {"default ipv4 static||static|10.2.0.0/16|5|10.0.0.1,eth0",
        "default ipv6 zebra||other|2001:db8::/64|20|fe80::1,eth0;fe80::2,eth1",
        "default ipv6 zebra||other|2001:db8::/64|30|fe80::3,eth1"},
       4,
       2,
       0},
      {"route, route -6 and netstat -rn: names, no gateway, reject, metric -1",
       "$ route\n"
       "Kernel IP routing table\n"
       "Destination     Gateway         Genmask         Flags Metric Ref    Use Iface\n"
       "default         _gateway        0.0.0.0         UG    600    0        0 wlo1\n"
       "link-local      *               255.255.0.0     U     1000   0        0 wlo1\n"
       "10.0.0.0        -               255.0.0.0       !     0      -        0 -\n"
       "$ route -6\n"
       "Kernel IPv6 routing table\n"
       "Destination                    Next Hop                   Flag Met Ref Use If\n"
       "::/0                           fe80::1                    UGDAe 1024 2   0 eth0\n"
       "::1/128                        ::                         Un   0   2     0 lo\n"
       "::/0                           ::                         !n   -1  1     0 lo\n"
       "$ netstat -rn\n"
       "Kernel IP routing table\n"
       "Destination     Gateway         Genmask         Flags   MSS Window  irtt Iface\n"
       "192.168.1.0     0.0.0.0         255.255.255.0   U         0 0          0 eth0\n",
       {"default ipv4 |UG|kernel|0.0.0.0/0|600|_gateway,wlo1",
        "default ipv4 |U|connected|link-local/16|1000|-,wlo1",
        "default ipv4 |!|discard|10.0.0.0/8|0|", "default ipv6 |UGDAe|other|::/0|1024|fe80::1,eth0",
        "default ipv6 |Un|local|::1/128|0|-,lo", "default ipv6 |!n|discard|::/0|-|-,lo",
        "default ipv4 |U|connected|192.168.1.0/24|-|-,eth0"},
       7,
       0,
       9},
  };
  for (const Case& c : cases) {
    LineAccount account;
    EXPECT_EQ(Records(c.capture, account), c.records) << c.what;
    EXPECT_EQ(account.count(LineKind::kRoute), c.routeLines) << c.what;
    EXPECT_EQ(account.count(LineKind::kPath), c.pathLines) << c.what;
    EXPECT_EQ(account.lines() - c.routeLines - c.pathLines, c.otherLines) << c.what;
    EXPECT_EQ(account.notUnderstood(), 0u) << c.what;
  }
}

// The records as JSON and the lines' kinds, read with reader.
std::string ReadAll(const LinuxReader& reader, const std::string& capture) {
  StringByteSink json;
  JsonRouteWriter writer(json, false);
  LineAccount account;
  writer.BeginCapture("capture", Platform::kLinux);
  reader.Read(capture, writer, account);
  writer.EndCapture();
  writer.Finish();
  std::string kinds;
  for (std::size_t i = 0; i < kLineKindCount; ++i) {
    kinds += " " + std::to_string(account.count(static_cast<LineKind>(i)));
  }
  return json.text + kinds;
}

TEST(LinuxReader, ReadsInTwoHalvesAsInOne) {
  std::string plain, underCommand = "$ ip -6 route show table 7\n";
  for (int i = 0; i < 300; ++i) {
    const std::string n = std::to_string(i);
    plain += "10." + n + ".0.0/16 via 10.0.0.1 dev eth0 proto bgp metric 20\n";
    plain += i % 7 == 0 ? "default proto bgp metric " + n +
                              "\n\tnexthop via 10.0.0.1 dev eth0\n\tnexthop via 10.0.0.2 dev eth1\n"
                        : "";
    underCommand += "2001:db8:" + n + "::/48 dev ppp" + n + " metric 1024\n" +
                    (i % 5 == 0 ? "default dev ppp" + n + "\n" : "");
  }
  // The second: its routes' family and table come from the command at the top.
  for (const std::string& capture : {plain, underCommand}) {
    EXPECT_EQ(ReadAll(LinuxReader(0), capture), ReadAll(LinuxReader(), capture));
  }
}

TEST(LinuxReader, OwnRouteLinesFitNoOtherPlatform) {
  const LinuxReader reader;
  for (const char* own : {"10.0.0.0/24 via 10.0.0.1 dev eth0", "default via 10.0.0.1 dev eth0",
                          "  fe80::/64 dev eth0 proto kernel metric 256 pref medium",
                          "blackhole 10.9.0.0/16", "\tnexthop via 10.0.0.1 dev eth3 weight 1"}) {
    EXPECT_TRUE(reader.IsOwnRouteLine(own)) << own;
  }
  for (const char* other : {
           "                    > to 10.0.0.1 via ge-0/0/0.0",              // Junos
           "10.0.0.0/24        *[OSPF/10] 1w2d 03:04:05, metric 2",         // Junos
           "K>* 0.0.0.0/0 [0/100] via 10.0.0.1, eth0, 00:01:02",            // FRR
           "0.0.0.0/0          10.0.0.1        10     A S     3600 ae1.1",  // PAN-OS
           "0.0.0.0/0   Static  60   0   RD   10.1.1.1   Vlanif1",          // VRP
           "10.0.0.0/24 via 10.0.0.1",  // no interface: too bare to tell
       }) {
    EXPECT_FALSE(reader.IsOwnRouteLine(other)) << other;
  }
  // Without a mark, its route lines place a capture.
  EXPECT_EQ(DetectPlatform("10.0.0.0/24 via 10.0.0.1 dev eth0\n"
                           "default via 10.0.0.254 dev eth0 metric 100\n"),
            Platform::kLinux);
}

}  // namespace
}  // namespace kestrelon::tables
