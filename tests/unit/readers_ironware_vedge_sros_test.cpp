// The IronWare, vEdge and SR OS readers on the shapes their documentation shows and the
// corpus lacks (IPv6, VRFs, ECMP, wrapped rows, no legend, CR LF), records written out as
// "vrf afi protocol|flags|source|selected|prefix|distance/metric|hops|uptime"; placement
// without marks; and the one SR OS capture, which has no expectation of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tables/line_accounting.h"
#include "tables/platform_detect.h"
#include "tables/route_table.h"
#include "test_files.h"

namespace kestrelon::tables {
namespace {

std::string Show(const OptionalText& text) {
  return text ? std::string(*text) : "-";
}

std::vector<std::string> Records(Platform platform, const std::string& capture,
                                 LineAccount& account) {
  RouteTable table;
  MakeReader(platform)->Read(capture, table, account);
  std::vector<std::string> records;
  table.ForEach([&](const RouteView& r) {
    std::string hops;
    for (const NextHopView& h : r.nextHops) {
      hops += (hops.empty() ? "" : ";") + Show(h.address) + "," + Show(h.interface) +
              (h.vrf ? "%" + std::string(*h.vrf) : "");
    }
    const auto number = [](const auto& v) { return v ? std::to_string(*v) : std::string("-"); };
    const std::string selected = !r.selected ? "-" : *r.selected ? "yes" : "no";
    records.push_back(std::string(r.vrf) + " " + std::string(AfiName(r.afi)) + " " +
                      std::string(r.protocol) + "|" + std::string(r.flags) + "|" +
                      std::string(SourceName(r.source)) + "|" + selected + "|" +
                      std::string(r.prefix) + "|" + number(r.distance) + "/" + number(r.metric) +
                      "|" + hops + "|" + Show(r.uptime));
  });
  return records;
}

struct Case {
  const char* what;
  Platform platform;
  std::string capture;
  std::vector<std::string> records;
};

TEST(MoreReaders, IronwareVedgeSrosReadWhatTheirDocumentationShows) {
  const Case cases[] = {
      {"IronWare: VRF from the command, ECMP, src-vrf, a row wrapped before its cost",
       Platform::kIronware,
       "SSH@mlx1#show ip route vrf red\n"
       "Total number of IP routes: 4\n"
       "Type Codes - B:BGP D:Connected I:ISIS L:Local O:OSPF R:RIP S:Static; Cost - Dist/Metric\n"
       "BGP  Codes - i:iBGP e:eBGP\n"
       "        Destination        Gateway         Port           Cost          Type Uptime "
       "src-vrf\n"
       "1       0.0.0.0/0          192.0.2.1       ve 10          20/0          Be   3d4h   -\n"
       "        0.0.0.0/0          192.0.2.5       ve 11          20/0          Be   3d4h   -\n"
       "2       10.9.0.0/16        198.51.100.1    eth 1/2        200/0         Bi   1h2m   blue\n"
       "3       10.20.0.0/24       10.1.1.1\n"
       "                                           eth 3/1        110/20        O2   5m3s   -\n"
       "4       10.30.0.0/24       DIRECT          ve 20          0/0           D    2d     \n"
       "-\n",
       {"red ipv4 Be||bgp-external|-|0.0.0.0/0|20/0|192.0.2.1,ve 10;192.0.2.5,ve 11|3d4h",
        "red ipv4 Bi||bgp-internal|-|10.9.0.0/16|200/0|198.51.100.1,eth 1/2%blue|1h2m",
        "red ipv4 O2||ospf-ext2|-|10.20.0.0/24|110/20|10.1.1.1,eth 3/1|5m3s",
        "red ipv4 D||connected|-|10.30.0.0/24|0/0|-,ve 20|2d"}},
      {"IronWare: the IPv6 table, type first, no legend, CR LF",
       Platform::kIronware,
       "Type IPv6 Prefix          Next Hop Router      Interface   Dis/Metric  Uptime  src-vrf\r\n"
       "C    2001:db8:1::/64      ::                   ve 10       0/0         2d1h    -\r\n"
       "Oi   2001:db8:9::/48      fe80::1              eth 1/1     110/30      1h5m    -\r\n"
       "IL2  2001:db8:a::/48      fe80::2              eth 1/2     115/20      1h5m    -\r\n",
       {"default ipv6 C||connected|-|2001:db8:1::/64|0/0|::,ve 10|2d1h",
        "default ipv6 Oi||ospf-inter|-|2001:db8:9::/48|110/30|fe80::1,eth 1/1|1h5m",
        "default ipv6 IL2||isis-l2|-|2001:db8:a::/48|115/20|fe80::2,eth 1/2|1h5m"}},
      {"IronWare: the IPv6 table's legend and heading, a candidate default",
       Platform::kIronware,
       "telnet@mlx1#show ipv6 route\n"
       "IPv6 Routing Table - 2 entries:\n"
       "Type Codes - B:BGP C:Connected I:ISIS L:Local O:OSPF R:RIP S:Static\n"
       "OSPF Sub Type Codes - O:Intra Oi:Inter O1:Type1 external O2:Type2 external\n"
       "Type IPv6 Prefix          Next Hop Router      Interface   Dis/Metric  Uptime  src-vrf\n"
       "*S   ::/0                 2001:db8:1::1        ve 10       1/1         9d      -\n"
       "L    2001:db8:1::2/128    ::                   ve 10       0/0         9d      -\n",
       {"default ipv6 S|*|static|-|::/0|1/1|2001:db8:1::1,ve 10|9d",
        "default ipv6 L||local|-|2001:db8:1::2/128|0/0|::,ve 10|9d"}},
      {"IronWare: an older release, dotted masks, a metric alone after a port like a cost",
       Platform::kIronware,
       "Start index: 1  B:BGP D:Connected R:RIP S:Static O:OSPF *:Candidate default\n"
       "    Destination     NetMask          Gateway         Port     Cost  Type\n"
       "1   0.0.0.0         0.0.0.0          10.1.1.2        1/1      1     S\n"
       "2   10.2.0.0        255.255.0.0      10.1.1.2        1/1      2     R\n",
       {"default ipv4 S||static|-|0.0.0.0/0|-/1|10.1.1.2,1/1|-",
        "default ipv4 R||rip|-|10.2.0.0/16|-/2|10.1.1.2,1/1|-"}},
      {"vEdge: IPv6, OMP over two colours, an inactive route, OSPF inter area, no legend",
       Platform::kVedge,
       "VPN    PREFIX          PROTOCOL  PROTOCOL SUB TYPE  NEXTHOP IF NAME  NEXTHOP ADDR  "
       "NEXTHOP VPN  TLOC IP  COLOR  ENCAP  STATUS\r\n"
       "------------------------------------------------------------------\r\n"
       "10     2001:db8:5::/64  omp       -   -   -   -   192.0.2.10   mpls           ipsec  "
       "F,S\r\n"
       "10     2001:db8:5::/64  omp       -   -   -   -   192.0.2.10   biz-internet   ipsec  "
       "F,S\r\n"
       "10     2001:db8:6::/64  ospf      IE  ge0/1  fe80::9  -  -  -  -  F,S\r\n"
       "10     2001:db8:6::/64  omp       -   -   -   -   192.0.2.11   mpls           ipsec  I\r\n",
       {"10 ipv6 omp|F,S|vpn|yes|2001:db8:5::/64|-/-|192.0.2.10,mpls;192.0.2.10,biz-internet|-",
        "10 ipv6 ospf IE|F,S|ospf-inter|yes|2001:db8:6::/64|-/-|fe80::9,ge0/1|-",
        "10 ipv6 omp|I|vpn|no|2001:db8:6::/64|-/-|192.0.2.11,mpls|-"}},
      {"SR OS: a VPRN's IPv6 table, a wrapped prefix and metric, tunnelled BGP VPN, flags",
       Platform::kSros,
       "*A:pe1# show router 100 route-table ipv6\n"
       "===============================================================================\n"
       "IPv6 Route Table (Service: 100)\n"
       "===============================================================================\n"
       "Dest Prefix[Flags]                            Type    Proto     Age        Pref\n"
       "      Next Hop[Interface Name]                                    Metric\n"
       "-------------------------------------------------------------------------------\n"
       "2001:db8:1234:5678:9abc:def0:1234:5600/120\n"
       "                                              Local   Local     02d01h13m  0\n"
       "       to-ce1                                                       0\n"
       "2001:db8:99::/64 [L]                          Remote  OSPF3     00h10m02s  10\n"
       "       fe80::5054:ff:fe12:3456-\"to-ce1\"\n"
       "                                                                    2\n"
       "2001:db8:aa::/64                              Remote  BGP VPN   00h02m00s  170\n"
       "       2001:db8::2 (tunneled:SR-ISIS:524290)                        0\n"
       "-------------------------------------------------------------------------------\n"
       "No. of Routes: 3\n"
       "===============================================================================\n",
       {"100 ipv6 Local||connected|-|2001:db8:1234:5678:9abc:def0:1234:5600/120|0/0|-,to-ce1|"
        "02d01h13m",
        "100 ipv6 OSPF3|L|ospf|-|2001:db8:99::/64|10/2|fe80::5054:ff:fe12:3456,to-ce1|00h10m02s",
        "100 ipv6 BGP VPN||bgp|-|2001:db8:aa::/64|170/0|2001:db8::2,-|00h02m00s"}},
      {"SR OS: classic CLI, the base table, a black-hole static route, no match in a service",
       Platform::kSros,
       "A:pe2# show router route-table\n"
       "Route Table (Router: Base)\n"
       "Dest Prefix[Flags]                            Type    Proto     Age        Pref\n"
       "      Next Hop[Interface Name]                                    Metric\n"
       "192.0.2.0/24                                  Remote  Static    00h00m09s  5\n"
       "       Black Hole                                                   1\n"
       "No. of Routes: 1\n"
       "A:pe2# show router 200 route-table\n"
       "Route Table (Service: 200)\n"
       "No Matching Entries\n",
       {"default ipv4 Static||static|-|192.0.2.0/24|5/1|-,Black Hole|00h00m09s"}},
  };
  for (const Case& c : cases) {
    LineAccount account;
    EXPECT_EQ(Records(c.platform, c.capture, account), c.records) << c.what;
    EXPECT_EQ(account.lines(),
              static_cast<std::size_t>(std::count(c.capture.begin(), c.capture.end(), '\n')))
        << c.what;
    EXPECT_EQ(account.notUnderstood(), 0u) << c.what;
    const std::optional<Placement> placement = PlaceCapture(c.capture);
    ASSERT_TRUE(placement.has_value()) << c.what;
    EXPECT_EQ(placement->platform, c.platform) << c.what;
    EXPECT_TRUE(placement->tied.empty()) << c.what;
  }
}

// Route lines alone, without legend or header, place the capture; the Cisco family's layout
// counters must not take an IronWare row number for a route code.
TEST(MoreReaders, RouteLinesAlonePlaceTheCapture) {
  const std::pair<Platform, std::string> cases[] = {
      {Platform::kIronware,
       "1       10.0.0.0/24        DIRECT          eth 2/2        0/0           D    2d1h   -\n"
       "2       10.1.0.0/24        10.0.0.2        eth 2/2        110/2         O    2d1h   -\n"},
      {Platform::kVedge, "1  10.1.0.0/16  connected  -  ge0/0  -  -  -  -  -  F,S\n"},
      {Platform::kSros,
       "10.1.0.0/16                                   Remote  ISIS      01h02m03s  18\n"
       "       10.0.0.2                                                     10\n"},
  };
  for (const auto& [platform, capture] : cases) {
    const std::optional<Placement> placement = PlaceCapture(capture);
    ASSERT_TRUE(placement.has_value()) << capture;
    EXPECT_EQ(placement->platform, platform) << capture;
    EXPECT_TRUE(placement->tied.empty()) << capture;
  }
}

// The one SR OS capture: its expectation upstream is not a parse of it, so it is checked here.
TEST(MoreReaders, SrosCorpusCaptureReadsAsPrinted) {
  const std::filesystem::path file =
      std::filesystem::path(KESTRELON_PLATFORM_CORPUS) / "napalm_sros_bgp_ecmp_longer.txt";
  if (!std::filesystem::exists(file)) {
    GTEST_SKIP() << "no capture at " << file;
  }
  LineAccount account;
  EXPECT_EQ(Records(Platform::kSros, testing::ReadFile(file.string()), account),
            std::vector<std::string>{
                "default ipv4 BGP||bgp|-|1.0.4.0/24|170/0|2.1.0.1,-;2.2.0.1,-|01h28m04s"});
  EXPECT_EQ(account.lines(), 20u);
  EXPECT_EQ(account.notUnderstood(), 0u);
}

}  // namespace
}  // namespace kestrelon::tables
