// The Huawei VRP, H3C Comware and MikroTik RouterOS readers on the shapes their documentation
// shows and the corpus lacks (VRFs, IPv6, ECMP, wrapped rows, v7), records written out as
// "vrf afi protocol|flags|prefix|distance/metric|hops|uptime|source|selected"; and placement.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tables/line_accounting.h"
#include "tables/platform_detect.h"
#include "tables/route_table.h"

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
      hops +=
          (hops.empty() ? "" : ";") + Show(h.address) + "," + Show(h.interface) + "," + Show(h.vrf);
    }
    const auto number = [](const auto& v) { return v ? std::to_string(*v) : std::string("-"); };
    records.push_back(std::string(r.vrf) + " " + std::string(AfiName(r.afi)) + " " +
                      std::string(r.protocol) + "|" + std::string(r.flags) + "|" +
                      std::string(r.prefix) + "|" + number(r.distance) + "/" + number(r.metric) +
                      "|" + hops + "|" + Show(r.uptime) + "|" + std::string(SourceName(r.source)) +
                      "|" + number(r.selected));
  });
  return records;
}

struct Case {
  const char* what;
  Platform platform;
  std::string capture;
  std::vector<std::string> records;
};

TEST(ReadersVrpComwareRouteros, ReadWhatTheDocumentationShows) {
  const Case cases[] = {
      {"VRP: a VPN instance, ECMP rows with and without the protocol, wrapped interfaces",
       Platform::kVrp,
       "<HUAWEI>display ip routing-table vpn-instance vpna\n"
       "Route Flags: R - relay, D - download to fib\n"
       "------------------------------------------------------------------------------\n"
       "Routing Tables: vpna\n"
       "         Destinations : 5        Routes : 7\n"
       "\n"
       "Destination/Mask    Proto   Pre  Cost      Flags NextHop         Interface\n"
       "\n"
       "       10.1.1.0/24  Direct  0    0           D   10.1.1.1        GigabitEthernet\n"
       "0/0/1\n"
       "       10.1.1.1/32  Direct  0    0           D   127.0.0.1       GigabitEthernet\n"
       "                                                                 0/0/1\n"
       "      10.2.0.0/16   OSPF    10   2           D   10.1.1.2        Vlanif10\n"
       "                    OSPF    10   2           D   10.1.3.2        Vlanif30\n"
       "    172.16.0.0/16   IBGP    255  0          RD   2.2.2.2         GigabitEthernet0/0/2\n"
       "                                                 3.3.3.3         GigabitEthernet0/0/3\n"
       "      127.0.0.0/8   Direct  0    0           D   127.0.0.1       InLoopBack0\n"
       "  ---- More ----\n",
       {"vpna ipv4 Direct|D|10.1.1.0/24|0/0|10.1.1.1,GigabitEthernet0/0/1,-|-|connected|-",
        "vpna ipv4 Direct|D|10.1.1.1/32|0/0|127.0.0.1,GigabitEthernet0/0/1,-|-|local|-",
        "vpna ipv4 OSPF|D|10.2.0.0/16|10/2|10.1.1.2,Vlanif10,-;10.1.3.2,Vlanif30,-|-|ospf|-",
        "vpna ipv4 IBGP|RD|172.16.0.0/16|255/0|2.2.2.2,GigabitEthernet0/0/2,-;3.3.3.3,"
        "GigabitEthernet0/0/3,-|-|bgp-internal|-",
        "vpna ipv4 Direct|D|127.0.0.0/8|0/0|127.0.0.1,InLoopBack0,-|-|connected|-"}},
      {"VRP: IPv6 blocks, one a path, CR LF",
       Platform::kVrp,
       "Routing Table : Public\r\n"
       "         Destinations : 2        Routes : 3\r\n"
       "\r\n"
       " Destination  : ::1                                     PrefixLength : 128\r\n"
       " NextHop      : ::1                                     Preference   : 0\r\n"
       " Cost         : 0                                       Protocol     : Direct\r\n"
       " RelayNextHop : ::                                      TunnelID     : 0x0\r\n"
       " Interface    : InLoopBack0                             Flags        : D\r\n"
       "\r\n"
       " Destination  : 2001:DB8:2::                            PrefixLength : 64\r\n"
       " NextHop      : FE80::2E0:FCFF:FE11:1                   Preference   : 10\r\n"
       " Cost         : 2                                       Protocol     : OSPFv3\r\n"
       " RelayNextHop : ::                                      TunnelID     : 0x0\r\n"
       " Interface    : GigabitEthernet0/0/1                    Flags        : D\r\n"
       "\r\n"
       " Destination  : 2001:DB8:2::                            PrefixLength : 64\r\n"
       " NextHop      : FE80::2E0:FCFF:FE11:2                   Preference   : 10\r\n"
       " Cost         : 2                                       Protocol     : OSPFv3\r\n"
       " RelayNextHop : ::                                      TunnelID     : 0x0\r\n"
       " Interface    : GigabitEthernet0/0/2                    Flags        : D\r\n",
       {"default ipv6 Direct|D|::1/128|0/0|::1,InLoopBack0,-|-|local|-",
        "default ipv6 OSPFv3|D|2001:DB8:2::/64|10/2|FE80::2E0:FCFF:FE11:1,GigabitEthernet0/0/1,-;"
        "FE80::2E0:FCFF:FE11:2,GigabitEthernet0/0/2,-|-|ospf|-"}},
      {"VRP: verbose, the route in use and the one not, no legend",
       Platform::kVrp,
       "Routing Tables: Public\n"
       "Destination: 0.0.0.0/0\n"
       "     Protocol: Static           Process ID: 0\n"
       "   Preference: 60                     Cost: 0\n"
       "      NextHop: 192.0.2.1         Neighbour: 0.0.0.0\n"
       "        State: Active Adv              Age: 1d01h58m07s\n"
       " RelayNextHop: 0.0.0.0           Interface: Dialer1\n"
       "     TunnelID: 0x0                   Flags:  D\n"
       "\n"
       "Destination: 0.0.0.0/0\n"
       "     Protocol: EBGP             Process ID: 0\n"
       "   Preference: 255                    Cost: 0\n"
       "      NextHop: 198.51.100.1      Neighbour: 198.51.100.1\n"
       "        State: Inactive Adv            Age: 00h12m00s\n"
       " RelayNextHop: 0.0.0.0           Interface: Dialer1\n"
       "     TunnelID: 0x0                   Flags: \n",
       {"default ipv4 Static|D|0.0.0.0/0|60/0|192.0.2.1,Dialer1,-|1d01h58m07s|static|1",
        "default ipv4 EBGP||0.0.0.0/0|255/0|198.51.100.1,Dialer1,-|00h12m00s|bgp-external|0"}},
      {"VRP: one protocol's routes in use and not",
       Platform::kVrp,
       "[~HUAWEI]display ip routing-table protocol static\n"
       "Route Flags: R - relay, D - download to fib, T - to vpn-instance, B - black hole route\n"
       "------------------------------------------------------------------------------\n"
       "Public routing table : Static\n"
       "         Destinations : 2        Routes : 2        Configured Routes : 2\n"
       "\n"
       "Static routing table status : <Active>\n"
       "         Destinations : 1        Routes : 1\n"
       "\n"
       "Destination/Mask    Proto   Pre  Cost      Flags NextHop         Interface\n"
       "\n"
       "        0.0.0.0/0   Static  60   0          RD   10.1.1.2        GigabitEthernet0/0/1\n"
       "\n"
       "Static routing table status : <Inactive>\n"
       "         Destinations : 1        Routes : 1\n"
       "\n"
       "Destination/Mask    Proto   Pre  Cost      Flags NextHop         Interface\n"
       "\n"
       "      10.9.0.0/16   Static  60   0               10.9.9.9        Unknown\n",
       {"default ipv4 Static|RD|0.0.0.0/0|60/0|10.1.1.2,GigabitEthernet0/0/1,-|-|static|1",
        "default ipv4 Static||10.9.0.0/16|60/0|10.9.9.9,Unknown,-|-|static|0"}},
      {"Comware V7: the VPN instance from the command, ECMP, then the public table",
       Platform::kComware,
       "<H3C>display ip routing-table vpn-instance vpn1\n"
       "\n"
       "Destinations : 4        Routes : 5\n"
       "\n"
       "Destination/Mask   Proto   Pre Cost        NextHop         Interface\n"
       "0.0.0.0/32         Direct  0   0           127.0.0.1       InLoop0\n"
       "10.1.1.0/24        Direct  0   0           10.1.1.1        Vlan10\n"
       "10.2.0.0/16        O_ASE2  150 1           10.1.1.2        Vlan10\n"
       "                                           10.1.3.2        Vlan30\n"
       "10.3.0.0/16        BGP     255 0           10.9.9.9        Vlan10\n"
       "<H3C>dis ip rou\n"
       "Destination/Mask   Proto   Pre Cost        NextHop         Interface\n"
       "224.0.0.0/4        Direct  0   0           0.0.0.0         NULL0\n",
       {"vpn1 ipv4 Direct||0.0.0.0/32|0/0|127.0.0.1,InLoop0,-|-|local|-",
        "vpn1 ipv4 Direct||10.1.1.0/24|0/0|10.1.1.1,Vlan10,-|-|connected|-",
        "vpn1 ipv4 O_ASE2||10.2.0.0/16|150/1|10.1.1.2,Vlan10,-;10.1.3.2,Vlan30,-|-|ospf-ext2|-",
        "vpn1 ipv4 BGP||10.3.0.0/16|255/0|10.9.9.9,Vlan10,-|-|bgp|-",
        "default ipv4 Direct||224.0.0.0/4|0/0|0.0.0.0,NULL0,-|-|discard|-"}},
      {"Comware V7: IPv6 blocks",
       Platform::kComware,
       "<H3C>display ipv6 routing-table\n"
       "\n"
       "Destinations : 2        Routes : 2\n"
       "\n"
       "Destination: ::1/128                                     Protocol  : Direct\n"
       "NextHop    : ::1                                         Preference: 0\n"
       "Interface  : InLoop0                                     Cost      : 0\n"
       "\n"
       "Destination: 2001:db8:1::/64                             Protocol  : IS_L2\n"
       "NextHop    : fe80::1                                     Preference: 15\n"
       "Interface  : XGE1/0/1                                    Cost      : 20\n",
       {"default ipv6 Direct||::1/128|0/0|::1,InLoop0,-|-|local|-",
        "default ipv6 IS_L2||2001:db8:1::/64|15/20|fe80::1,XGE1/0/1,-|-|isis-l2|-"}},
      {"RouterOS v6: a table with a comment, ECMP gateways, an inactive route, a blackhole",
       Platform::kRouteros,
       "[admin@MikroTik] > /ip route print\n"
       "Flags: X - disabled, A - active, D - dynamic, \n"
       "C - connect, S - static, r - rip, b - bgp, o - ospf, m - mme, \n"
       "B - blackhole, U - unreachable, P - prohibit \n"
       " #      DST-ADDRESS        PREF-SRC        GATEWAY            DISTANCE\n"
       " 0 A S  ;;; default via ISP\n"
       "        0.0.0.0/0                          10.0.0.1,10.0.0.2         1\n"
       " 1 ADC  10.0.0.0/24        10.0.0.254      ether1                    0\n"
       " 2 ADo  10.5.0.0/16                        10.0.0.7                110\n"
       " 3   S  10.6.0.0/16                        10.0.0.9 unreachable      1\n"
       " 4 A SB 192.0.2.0/24                                                 1\n",
       {"default ipv4 S|A S|0.0.0.0/0|1/-|10.0.0.1,-,-;10.0.0.2,-,-|-|static|1",
        "default ipv4 C|ADC|10.0.0.0/24|0/-|-,ether1,-|-|connected|1",
        "default ipv4 o|ADo|10.5.0.0/16|110/-|10.0.0.7,-,-|-|ospf|1",
        "default ipv4 S|S|10.6.0.0/16|1/-|10.0.0.9,-,-|-|static|0",
        "default ipv4 S|A SB|192.0.2.0/24|1/-||-|discard|1"}},
      {"RouterOS v7: routing tables, unnumbered dynamic rows, ECMP rows",
       Platform::kRouteros,
       "[admin@MikroTik] > /ip route print\n"
       "Flags: D - DYNAMIC; I - INACTIVE, A - ACTIVE; c - CONNECT, s - STATIC, o - OSPF; + - ECMP\n"
       "Columns: DST-ADDRESS, GATEWAY, ROUTING-TABLE, DISTANCE\n"
       "#      DST-ADDRESS       GATEWAY          ROUTING-TABLE  DISTANCE\n"
       "0  As  0.0.0.0/0         192.168.88.1     main                  1\n"
       "   DAc 192.168.88.0/24   bridge           main                  0\n"
       "   DAo+ 10.20.0.0/16     10.1.1.1%ether2  main                110\n"
       "   DAo+ 10.20.0.0/16     10.1.1.5%ether3  main                110\n"
       "1  As  0.0.0.0/0         10.9.9.1         guest                 1\n",
       {"default ipv4 s|As|0.0.0.0/0|1/-|192.168.88.1,-,-|-|static|1",
        "default ipv4 c|DAc|192.168.88.0/24|0/-|-,bridge,-|-|connected|1",
        "default ipv4 o|DAo+|10.20.0.0/16|110/-|10.1.1.1,ether2,-;10.1.1.5,ether3,-|-|ospf|1",
        "guest ipv4 s|As|0.0.0.0/0|1/-|10.9.9.1,-,-|-|static|1"}},
      {"RouterOS v7: detail, attributes over several lines",
       Platform::kRouteros,
       "[admin@MikroTik] > /ip route print detail\n"
       "Flags: D - dynamic; X - disabled, I - inactive, A - active; c - connect, s - static, "
       "b - bgp; + - ecmp \n"
       " 0  As   ;;; uplink\n"
       "         dst-address=0.0.0.0/0 routing-table=main pref-src=\"\" gateway=10.155.101.1 \n"
       "         immediate-gw=10.155.101.1%ether12 distance=1 scope=30 target-scope=10 \n"
       "\n"
       "   DAb   dst-address=10.50.0.0/16 routing-table=cust-a gateway=172.16.0.1 "
       "immediate-gw=172.16.0.1%vlan100 distance=20 scope=40 target-scope=10 \n",
       {"default ipv4 s|As|0.0.0.0/0|1/-|10.155.101.1,ether12,-|-|static|1",
        "cust-a ipv4 b|DAb|10.50.0.0/16|20/-|172.16.0.1,vlan100,-|-|bgp|1"}},
      {"RouterOS v6: IPv6, a link-local gateway with its interface",
       Platform::kRouteros,
       "Flags: X - disabled, A - active, D - dynamic, C - connect, S - static, r - rip, o - ospf, "
       "b - bgp, U - unreachable \n"
       " #      DST-ADDRESS              GATEWAY                  DISTANCE\n"
       " 0 ADS  ::/0                     fe80::1%ether1                  1\n"
       " 1 ADC  2001:db8:1::/64          bridge                          0\n",
       {"default ipv6 S|ADS|::/0|1/-|fe80::1,ether1,-|-|static|1",
        "default ipv6 C|ADC|2001:db8:1::/64|0/-|-,bridge,-|-|connected|1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LineAccount account;
    EXPECT_EQ(Records(c.platform, c.capture, account), c.records);
    EXPECT_EQ(account.lines(),
              static_cast<std::size_t>(std::count(c.capture.begin(), c.capture.end(), '\n')));
    EXPECT_EQ(account.notUnderstood(), 0u);
    for (const LineExample& example : account.examples()) {
      ADD_FAILURE() << "not understood: " << example.line << ": " << example.text;
    }
    const std::optional<Placement> placement = PlaceCapture(c.capture);
    ASSERT_TRUE(placement.has_value());
    EXPECT_EQ(placement->platform, c.platform) << placement->decidedBy;
    EXPECT_TRUE(placement->tied.empty()) << placement->decidedBy;
  }
}

// Without legend or heading, the rows alone place a capture, never on the look-alike platform.
TEST(ReadersVrpComwareRouteros, RowsAlonePlaceTheCapture) {
  const std::pair<Platform, std::string> cases[] = {
      {Platform::kVrp,
       "       10.1.1.0/24  Direct  0    0           D   10.1.1.1        Vlanif10\n"
       "      10.2.0.0/16   OSPF    10   2           D   10.1.1.2        Vlanif10\n"},
      {Platform::kComware,
       "10.1.1.0/24        Direct  0   0           10.1.1.1        Vlan10\n"
       "10.2.0.0/16        OSPF    10  2           10.1.1.2        Vlan10\n"},
      {Platform::kRouteros,
       " 0 ADS  0.0.0.0/0                          10.0.0.1                  1\n"
       " 1 ADC  10.0.0.0/24        10.0.0.254      ether1                    0\n"},
      {Platform::kRouteros, "   DAc 192.168.88.0/24   bridge   0\n"},
  };
  for (const auto& [platform, capture] : cases) {
    const std::optional<Placement> placement = PlaceCapture(capture);
    ASSERT_TRUE(placement.has_value()) << capture;
    EXPECT_EQ(placement->platform, platform) << capture << placement->decidedBy;
    EXPECT_TRUE(placement->tied.empty()) << capture << placement->decidedBy;
  }
}

}  // namespace
}  // namespace kestrelon::tables
