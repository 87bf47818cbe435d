// The readers of the Quagga/FRR family, FortiOS and PAN-OS on the shapes their documentation
// shows that the shared captures lack: FRR's legend and VRF sections, IPv6, recursive next hops,
// FortiOS's VRFs and 7.x paths, PAN-OS's virtual routers; and where each is placed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tables/line_accounting.h"
#include "tables/platform_detect.h"
#include "tables/route_table.h"

namespace kestrelon::tables {
namespace {

// Each route as "vrf protocol|flags|source|selected prefix [d/m] hop;hop uptime", hops as
// "address%interface@vrf".
std::vector<std::string> Records(Platform platform, const std::string& capture,
                                 LineAccount& account) {
  RouteTable table;
  MakeReader(platform)->Read(capture, table, account);
  std::vector<std::string> records;
  table.ForEach([&](const RouteView& r) {
    const auto text = [](const OptionalText& t) { return std::string(t.value_or("")); };
    const auto number = [](const auto& v) { return v ? std::to_string(*v) : std::string("-"); };
    std::string line =
        std::string(r.vrf) + " " + std::string(r.protocol) + "|" + std::string(r.flags) + "|" +
        std::string(SourceName(r.source)) + "|" + (r.selected ? (*r.selected ? "y" : "n") : "-") +
        " " + std::string(r.prefix) + " [" + number(r.distance) + "/" + number(r.metric) + "] ";
    for (const NextHopView& h : r.nextHops) {
      line += text(h.address) + "%" + text(h.interface) + (h.vrf ? "@" + text(h.vrf) : "") + ";";
    }
    records.push_back(line + " " + text(r.uptime));
  });
  return records;
}

struct Case {
  const char* what;
  Platform platform;
  std::string capture;
  std::vector<std::string> records;
};

TEST(ZebraAndPanosReaders, ReadWhatEachPrints) {
  const Case cases[] = {
      {"FRR: legend, unselected routes, ECMP, a recursive next hop resolved on the next line, "
       "blackhole, VRF sections",
       Platform::kQuagga,
       "Codes: K - kernel route, C - connected, L - local, S - static,\n"
       "       R - RIP, O - OSPF, I - IS-IS, B - BGP, E - EIGRP, N - NHRP,\n"
       "       T - Table, v - VNC, V - VNC-Direct, A - Babel, F - PBR,\n"
       "       f - OpenFabric, t - Table-Direct,\n"
       "       > - selected route, * - FIB route, q - queued, r - rejected, b - backup\n"
       "       t - trapped, o - offload failure\n"
       "\n"
       "IPv4 unicast VRF default:\n"
       "K>* 0.0.0.0/0 [0/100] via 10.0.2.2, eth0, src 10.0.2.15, 1d02h03m\n"
       "O   10.0.1.0/24 [110/10] is directly connected, eth1, weight 1, 00:00:21\n"
       "C>* 10.0.1.0/24 is directly connected, eth1, 01w2d03h\n"
       "L>* 10.0.1.1/32 is directly connected, eth1, 01w2d03h\n"
       "O>* 10.0.11.0/30 [110/200] via 10.0.1.2, eth1, weight 1, 00:00:09\n"
       "  *                        via 10.0.12.2, eth2, weight 1, 00:00:09\n"
       "B>  172.16.0.0/16 [200/0] via 192.0.2.1 (recursive), label 16, weight 1, 00:01:00\n"
       "  *                         via 10.0.1.2, eth1, label 3/16, weight 1, 00:01:00\n"
       "S>* 192.168.0.0/16 [1/0] unreachable (blackhole), weight 1, 00:02:00\n"
       "\n"
       "VRF red:\n"
       "B>* 10.9.0.0/24 [20/0] via 10.0.1.2, eth1 (vrf default), weight 1, 6w0d00h\n",
       {"default K|>*|kernel|y 0.0.0.0/0 [0/100] 10.0.2.2%eth0; 1d02h03m",
        "default O||ospf|n 10.0.1.0/24 [110/10] %eth1; 00:00:21",
        "default C|>*|connected|y 10.0.1.0/24 [-/-] %eth1; 01w2d03h",
        "default L|>*|local|y 10.0.1.1/32 [-/-] %eth1; 01w2d03h",
        "default O|>*|ospf|y 10.0.11.0/30 [110/200] 10.0.1.2%eth1;10.0.12.2%eth2; 00:00:09",
        "default B|>|bgp|y 172.16.0.0/16 [200/0] 192.0.2.1%eth1; 00:01:00",
        "default S|>*|static|y 192.168.0.0/16 [1/0] %blackhole; 00:02:00",
        "red B|>*|bgp|y 10.9.0.0/24 [20/0] 10.0.1.2%eth1@default; 6w0d00h"}},
      {"FRR IPv6 as a log holds it: no legend, indentation stripped, CR LF",
       Platform::kQuagga,
       "B>* 2001:db8::/32 [20/0] via fe80::1, eth0, weight 1, 00:10:00\r\n"
       "*                    via fe80::2, eth1, weight 1, 00:10:00\r\n"
       "C>* 2001:db8:1::/64 is directly connected, eth2, 00:20:00\r\n",
       {"default B|>*|bgp|y 2001:db8::/32 [20/0] fe80::1%eth0;fe80::2%eth1; 00:10:00",
        "default C|>*|connected|y 2001:db8:1::/64 [-/-] %eth2; 00:20:00"}},
      {"a terminal's backspace in a path kept until the next line",
       Platform::kQuagga,
       "O>* 10.0.0.0/24 [110/20] via 10.0.0.1, eth9\b0, weight 1, 00:01:02\n"
       "  *                      via 10.0.0.2, eth2\b1, weight 1, 00:01:02\n",
       {"default O|>*|ospf|y 10.0.0.0/24 [110/20] 10.0.0.1%eth0;10.0.0.2%eth1; 00:01:02"}},
      {"Quagga and EdgeOS: an inactive next hop, recursion printed inside the parenthesis, "
       "the OSPF type beside the code",
       Platform::kQuagga,
       "ubnt@edge:~$ show ip route\n"
       "S   10.8.0.0/16 [1/0] via 10.0.0.9 inactive\n"
       "S>* 10.9.0.0/16 [1/0] via 10.0.0.8 (recursive via 10.0.0.1)\n"
       "O IA *> 10.10.0.0/24 [110/30] via 10.0.0.1, eth0, 00:05:00\n",
       {"default S||static|n 10.8.0.0/16 [1/0] 10.0.0.9%; ",
        "default S|>*|static|y 10.9.0.0/16 [1/0] 10.0.0.8%; ",
        "default O IA|*>|ospf-inter|y 10.10.0.0/24 [110/30] 10.0.0.1%eth0; 00:05:00"}},
      {"FortiOS: a VRF other than 0, 7.x paths with their weight and recursion, the database "
       "form's selection marks",
       Platform::kFortios,
       "FGT (root) # get router info routing-table all\n"
       "Routing table for VRF=0\n"
       "S*      0.0.0.0/0 [10/0] via 192.0.2.1, port1, [1/0]\n"
       "                  [10/0] via 198.51.100.1, port2, [1/0]\n"
       "B       10.1.0.0/16 [200/0] via 172.16.1.1 (recursive via 192.0.2.1, port1), 3d13h31m, "
       "[1/0]\n"
       "Routing table for VRF=5\n"
       "C       10.5.0.0/24 is directly connected, vlan5\n"
       "Codes: K - kernel, C - connected, S - static, R - RIP, B - BGP\n"
       "       > - selected route, * - FIB route, p - stale info\n"
       "Routing table for VRF=0\n"
       "S    *> 0.0.0.0/0 [10/0] via 192.0.2.1, port1\n"
       "S       0.0.0.0/0 [20/0] via 203.0.113.1, port3\n",
       {"default S|*|static|- 0.0.0.0/0 [10/0] 192.0.2.1%port1;198.51.100.1%port2; ",
        "default B||bgp|- 10.1.0.0/16 [200/0] 172.16.1.1%port1; 3d13h31m",
        "5 C||connected|- 10.5.0.0/24 [-/-] %vlan5; ",
        "default S|*>|static|y 0.0.0.0/0 [10/0] 192.0.2.1%port1; ",
        "default S||static|n 0.0.0.0/0 [20/0] 203.0.113.1%port3; "}},
      {"FortiOS IPv6 (get router info6 routing-table)",
       Platform::kFortios,
       "IPv6 Routing Table\n"
       "Codes: K - kernel route, C - connected, S - static, R - RIP, O - OSPF,\n"
       "       * - candidate default\n"
       "Timers: Uptime\n"
       "\n"
       "S*      ::/0 [10/0] via 2001:db8::1, port1, 00:10:20\n"
       "C       2001:db8::/64 via ::, port1, 01:02:03\n",
       {"default S|*|static|- ::/0 [10/0] 2001:db8::1%port1; 00:10:20",
        "default C||connected|- 2001:db8::/64 [-/-] ::%port1; 01:02:03"}},
      {"PAN-OS: two virtual routers, ECMP rows, an inactive route beside the active one, "
       "discard, IPv6, a blank next hop, an age pushing the interface right, a blank age",
       Platform::kPanos,
       "VIRTUAL ROUTER: default (id 1)\n"
       "  ==========\n"
       "destination          nexthop         metric flags      age   interface          "
       "next-AS\n"
       "0.0.0.0/0            192.0.2.1              A?B E      2317                     65522\n"
       "0.0.0.0/0            192.0.2.9              A?B E      2317                     65522\n"
       "10.9.1.0/24          10.6.100.16     0      ?B         1030201                  0\n"
       "10.9.1.0/24          10.6.100.17     0      ?B         1030201                  0\n"
       "10.9.1.0/24          10.6.255.16     50     A Oi       10302011 ae1.255\n"
       "10.99.0.0/16         discard         10     A S                                  \n"
       "2001:db8::/64        ::              0      A C               ethernet1/1\n"
       "10.30.0.0/16                         10     A S               tunnel.1\n"
       "total routes shown: 8\n"
       "\n"
       "VIRTUAL ROUTER: VR_HANDOFF (id 2)\n"
       "  ==========\n"
       "destination          nexthop         metric flags      age   interface          "
       "next-AS\n"
       "10.20.0.0/16         10.0.0.1        20     A O2       55    ethernet1/2\n"
       "total routes shown: 1\n",
       {"default B|A?B E|bgp|y 0.0.0.0/0 [-/-] 192.0.2.1%;192.0.2.9%; 2317",
        "default B|?B|bgp|n 10.9.1.0/24 [-/0] 10.6.100.16%; 1030201",
        "default B|?B|bgp|n 10.9.1.0/24 [-/0] 10.6.100.17%; 1030201",
        "default Oi|A Oi|ospf|y 10.9.1.0/24 [-/50] 10.6.255.16%ae1.255; 10302011",
        "default S|A S|static|y 10.99.0.0/16 [-/10] %discard; ",
        "default C|A C|connected|y 2001:db8::/64 [-/0] ::%ethernet1/1; ",
        "default S|A S|static|y 10.30.0.0/16 [-/10] %tunnel.1; ",
        "VR_HANDOFF O2|A O2|ospf-ext2|y 10.20.0.0/16 [-/20] 10.0.0.1%ethernet1/2; 55"}},
  };
  for (const Case& c : cases) {
    LineAccount account;
    EXPECT_EQ(Records(c.platform, c.capture, account), c.records) << c.what;
    EXPECT_EQ(account.lines(),
              static_cast<std::size_t>(std::count(c.capture.begin(), c.capture.end(), '\n')))
        << c.what;
    for (const LineExample& example : account.examples()) {
      ADD_FAILURE() << c.what << ": line " << example.line << " not understood: " << example.text;
    }
  }
}

// Each is placed by its own legend or headings, and without them by its route lines; EdgeOS's
// heading, which NX-OS prints too, places neither.
TEST(ZebraAndPanosReaders, CapturesArePlacedOnTheirPlatform) {
  const struct {
    const char* what;
    std::string capture;
    std::optional<Platform> platform;
  } cases[] = {
      {"FRR by its legend",
       "Codes: K - kernel route, C - connected, S - static, R - RIP,\n"
       "       > - selected route, * - FIB route, q - queued, r - rejected, b - backup\n"
       "O   10.0.1.0/24 [110/10] is directly connected, eth1, weight 1, 00:00:21\n",
       Platform::kQuagga},
      {"FRR without legend", "O>* 10.0.11.0/30 [110/200] via 10.0.1.2, eth1, weight 1, 00:00:09\n",
       Platform::kQuagga},
      {"FRR without legend, unselected routes first",
       "O   10.0.1.0/24 [110/10] is directly connected, eth1, weight 1, 00:00:21\n"
       "O   10.0.2.0/24 [110/10] is directly connected, eth2, weight 1, 00:00:21\n"
       "O>* 10.0.11.0/30 [110/200] via 10.0.1.2, eth1, weight 1, 00:00:09\n",
       Platform::kQuagga},
      {"EdgeOS: heading without legend",
       "IP Route Table for VRF \"default\"\nS    *> 0.0.0.0/0 [1/0] via 192.0.2.1, eth0\n",
       Platform::kQuagga},
      {"NX-OS: heading without legend",
       "IP Route Table for VRF \"default\"\n10.1.0.0/16, ubest/mbest: 1/0\n"
       "    *via 10.1.1.1, Eth1/1, [1/0], 1d, static\n",
       Platform::kNxos},
      {"FortiOS by its heading",
       "Routing table for VRF=0\nS*      0.0.0.0/0 [10/0] via 192.0.2.1, port1\n",
       Platform::kFortios},
      {"PAN-OS rows alone",
       "10.9.1.0/24          10.6.255.16     50     A Oi       1030201 ae1.255\n",
       Platform::kPanos},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DetectPlatform(c.capture), c.platform) << c.what;
  }
}

}  // namespace
}  // namespace kestrelon::tables
