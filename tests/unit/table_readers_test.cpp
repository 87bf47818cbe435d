// The platform readers on the shapes each platform prints, one case per shape, records written
// out as "vrf afi protocol|flags|prefix|distance/metric|hops|uptime"; and platform detection.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "tables/json_writer.h"
#include "tables/line_accounting.h"
#include "tables/platform_detect.h"
#include "tables/readers/ios.h"
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
                      "|" + hops + "|" + Show(r.uptime));
  });
  return records;
}

struct Case {
  const char* what;
  Platform platform;
  std::string capture;
  std::vector<std::string> records;
  std::vector<std::size_t> notUnderstood = {};  // line numbers
};

// Reads c, checks its records and that each line is counted once, and which lines were not
// understood.
void Check(const Case& c) {
  LineAccount account;
  EXPECT_EQ(Records(c.platform, c.capture, account), c.records) << c.what;
  EXPECT_EQ(account.lines(),
            static_cast<std::size_t>(std::count(c.capture.begin(), c.capture.end(), '\n')))
      << c.what;
  std::vector<std::size_t> lines;
  for (const LineExample& example : account.examples()) {
    lines.push_back(example.line);
  }
  EXPECT_EQ(lines, c.notUnderstood) << c.what;
}

TEST(TableReaders, ReadWhatEachPlatformPrints) {
  const Case cases[] = {
      {"IOS: inherited length, candidate default inside the code, unaligned extra path",
       Platform::kIos,
       "     10.0.0.0/24 is subnetted, 2 subnets\n"
       "O*E2    10.1.1.0 [110/20] via 10.2.2.2, 00:01:02, Ethernet0\n"
       "                 [110/20] via 10.2.2.3, 00:01:02, Ethernet1\n"
       "S       10.1.2.0 is directly connected, Null0\n",
       {"default ipv4 O E2|*|10.1.1.0/24|110/20|10.2.2.2,Ethernet0,-;10.2.2.3,Ethernet1,-|00:01:02",
        "default ipv4 S||10.1.2.0/24|-/-|-,Null0,-|-"}},
      {"IOS: a wrapped entry, an aligned extra path, a backspace, VRF sections",
       Platform::kIos,
       "Routing Table: red\n"
       "D       192.168.100.0/24 \n"
       "           [90/2172416] via 10.1.1.2, 00:00:30, Serial0\n"
       "           [90/2172416] via 10.1.1.3, 00:00:30, Serial1\n"
       "B       10.20.0.0/16 [200/0] via 10.10.254.10 (AMB), 3w4d\n"
       "  Routing Table: blue\n"
       "C       10.9.9.0/24 is directly connected, 3w4d, Vlan5X\bx\n",
       {"red ipv4 D||192.168.100.0/24|90/2172416|10.1.1.2,Serial0,-;10.1.1.3,Serial1,-|00:00:30",
        "red ipv4 B||10.20.0.0/16|200/0|10.10.254.10,-,AMB|3w4d",
        "blue ipv4 C||10.9.9.0/24|-/-|-,Vlan5x,-|3w4d"}},
      {"IOS: an IPv6 table, code and prefix on one line, paths on the next",
       Platform::kIos,
       "IPv6 Routing Table - Red - 3 entries\n"
       "C   2001:DB8::/64 [0/0]\n"
       "     via Vlan1, directly connected\n"
       "S   ::/0 [1/0]\n"
       "     via 2001:DB8::1\n"
       "     via FE80::1, Serial0/0\n",
       {"Red ipv6 C||2001:DB8::/64|0/0|-,Vlan1,-|-",
        "Red ipv6 S||::/0|1/0|2001:DB8::1,-,-;FE80::1,Serial0/0,-|-"}},
      {"IOS: a capture whose indentation was stripped",
       Platform::kIos,
       "172.16.0.0/32 is subnetted, 1 subnets\n"
       "B 172.16.10.10 [200/0] via 10.0.0.2 (vrf-red), 00:04:47\n",
       {"default ipv4 B||172.16.10.10/32|200/0|10.0.0.2,-,vrf-red|00:04:47"}},
      {"IOS: stripped paths with trailing blanks are paths each, not one wrapped line",
       Platform::kIos,
       "O    10.0.0.0/8 [110/2] via 10.0.0.1, 00:00:01, Gi0/0 \n"
       "[110/2] via 10.0.0.2, 00:00:01, Gi0/1 \n"
       "[110/2] via 10.0.0.3, 00:00:01, Gi0/2\n",
       {"default ipv4 O||10.0.0.0/8|110/2|10.0.0.1,Gi0/0,-;10.0.0.2,Gi0/1,-;10.0.0.3,Gi0/2,-|"
        "00:00:01"}},
      {"IOS-XR: a backup path does not give the route's metric; a wrapped IPv6 entry",
       Platform::kIosXr,
       "VRF: blue\n"
       "O    1.1.1.1/32 [110/0] via 10.1.1.9, 04:43:27, Gi0/0/0/0 (!)\n"
       "                [110/9164] via 10.1.1.34, 04:43:27, Gi0/0/0/3\n"
       "L    2001:db8::1/128 is directly connected,\n"
       "    00:54:19, Loopback60\n",
       {"blue ipv4 O||1.1.1.1/32|110/9164|10.1.1.9,Gi0/0/0/0,-;10.1.1.34,Gi0/0/0/3,-|04:43:27",
        "blue ipv6 L||2001:db8::1/128|-/-|-,Loopback60,-|00:54:19"}},
      {"EOS: one blank before the code, paths as via lines",
       Platform::kEos,
       "VRF name: default\n"
       " O E1   0.0.0.0/0 [110/21] via 172.83.43.48, Vlan55\n"
       "                           via 172.83.43.50, Vlan65\n",
       {"default ipv4 O E1||0.0.0.0/0|110/21|172.83.43.48,Vlan55,-;172.83.43.50,Vlan65,-|-"}},
      {"NX-OS: protocol and type from the first path, VRF after %, a wrapped path line",
       Platform::kNxos,
       "IP Route Table for VRF \"default\"\n"
       "10.0.0.0/8, ubest/mbest: 2/0\n"
       "    *via 10.1.1.1%mgmt, Eth1/1, [110/3], 5d18h, ospf-10, intra\n"
       "tag 100\n"
       "    *via Null0, [110/3], 5d18h, ospf-10, intra\n",
       {"default ipv4 ospf-10 intra||10.0.0.0/8|110/3|10.1.1.1,Eth1/1,mgmt;-,Null0,-|5d18h"}},
      {"IOS: an interface followed by its description, after a comma or a blank",
       Platform::kIos,
       "S        10.9.0.0/16 is directly connected, Tunnel11, Static Interface GRE, dst 1.2.3.4\n"
       "O        10.8.0.0/16 [110/2] via 10.1.1.1, 00:01:02, Tunnel12 Static Interface GRE\n",
       {"default ipv4 S||10.9.0.0/16|-/-|-,Tunnel11,-|-",
        "default ipv4 O||10.8.0.0/16|110/2|10.1.1.1,Tunnel12,-|00:01:02"}},
      {"NX-OS: an interface followed by its description",
       Platform::kNxos,
       "10.0.0.0/8, ubest/mbest: 1/0\n"
       "    *via 10.1.1.1, Tunnel11 Static Interface GRE, [1/0], 5d18h, static\n",
       {"default ipv4 static||10.0.0.0/8|1/0|10.1.1.1,Tunnel11,-|5d18h"}},
      {"ASA: object names, dotted masks, a wrapped entry",
       Platform::kAsa,
       "S        Server1 255.255.255.255 [1/0] via gw-1, outside\n"
       "S*       0.0.0.0 0.0.0.0 [1/0] via 192.168.1.2, outside\n"
       "C    192.168.2.0 255.255.254.0\n"
       "               is directly connected, inside\n",
       {"default ipv4 S||Server1/32|1/0|gw-1,outside,-|-",
        "default ipv4 S|*|0.0.0.0/0|1/0|192.168.1.2,outside,-|-",
        "default ipv4 C||192.168.2.0/23|-/-|-,inside,-|-"}},
  };
  for (const Case& c : cases) {
    Check(c);
  }
}

// A line that holds no route a reader can read is counted as not understood, never passed over
// and never read as a route with a made-up value; what a header or prompt prints is no such
// line, wherever its indentation is.
TEST(TableReaders, LinesNotUnderstoodAreCountedNotGuessed) {
  const Case cases[] = {
      {"IOS: a garbage line between two routes",
       Platform::kIos,
       "O        10.1.1.0/24 [110/2] via 10.2.2.2, 00:01:02, Eth0\n"
       "GARBAGE %%%% 10.9.9.0 foo bar\n"
       "                     [110/2] via 10.2.2.3, 00:01:02, Eth1\n"
       "O        10.1.2.0/24 [110/2] via 10.2.2.2, 00:01:02, Eth0\n",
       {"default ipv4 O||10.1.1.0/24|110/2|10.2.2.2,Eth0,-|00:01:02",
        "default ipv4 O||10.1.2.0/24|110/2|10.2.2.2,Eth0,-|00:01:02"},
       {2, 3}},
      {"IOS: lengths that are no length; a missing one takes the header's, else the class's",
       Platform::kIos,
       "R1#show ip route\n"
       "     10.0.0.0/24 is subnetted, 2 subnets\n"
       "O        10.1.0.0/33 [110/2] via 10.2.2.2, 00:01:02, Eth0\n"
       "O        10.1.1.0 [110/2] via 10.2.2.2, 00:01:02, Eth0\n"
       "S        10.2.0.0/99 [1/0] via 10.2.2.2\n"
       "S        10.3.0.0/-1 [1/0] via 10.2.2.2\n"
       "S        10.4.0.0//16 [1/0] via 10.2.2.2\n"
       "S        10.5.0.0/0016 [1/0] via 10.2.2.2\n"
       "S        10.6.0.0/3x [1/0] via 10.2.2.2\n"
       "Routing Table: red\n"
       "O        172.20.1.1 [110/11] via 10.2.2.2, 00:01:02, Eth0\n",
       {"default ipv4 O||10.1.1.0/24|110/2|10.2.2.2,Eth0,-|00:01:02",
        "red ipv4 O||172.20.1.1/16|110/11|10.2.2.2,Eth0,-|00:01:02"},
       {3, 5, 6, 7, 8, 9}},
      {"ASA: a mask that is not contiguous, costs out of range or negative",
       Platform::kAsa,
       "S        10.1.0.0 255.0.255.0 [1/0] via 10.2.2.2, outside\n"
       "S        10.2.0.0 255.255.0.0 [4294967296/0] via 10.2.2.2, outside\n"
       "S        10.3.0.0 255.255.0.0 [1/18446744073709551616] via 10.2.2.2, outside\n"
       "S        10.4.0.0 255.255.0.0 [-1/0] via 10.2.2.2, outside\n"
       "S        10.5.0.0 255.255.0.0 [1/18446744073709551615] via 10.2.2.2, outside\n",
       {"default ipv4 S||10.5.0.0/16|1/18446744073709551615|10.2.2.2,outside,-|-"},
       {1, 2, 3, 4}},
      {"NX-OS: an indented header, a garbage line, a cost out of range",
       Platform::kNxos,
       "  IP Route Table for VRF \"blue\"\n"
       "10.0.0.0/8, ubest/mbest: 1/0\n"
       "GARBAGE %%%% 10.9.9.0 foo bar\n"
       "    *via 10.1.1.1, Eth1/1, [4294967296/3], 5d18h, ospf-10, intra\n"
       "10.1.0.0/16, ubest/mbest: 1/0\n"
       "    *via 10.1.1.1, Eth1/1, [110/3], 5d18h, ospf-10, intra\n",
       {"blue ipv4 ||10.0.0.0/8|-/-||-",
        "blue ipv4 ospf-10 intra||10.1.0.0/16|110/3|10.1.1.1,Eth1/1,-|5d18h"},
       {3, 4}},
      {"IOS-XR: a legend, an indented VRF header, paths and wrapped lines without their "
       "indentation",
       Platform::kIosXr,
       "Codes: C - connected, S - static, R - RIP, B - BGP, (>) - Diversion path\n"
       "       G  - DAGR, l - LISP\n"
       "   VRF: blue\n"
       "O    1.1.1.1/32 [110/2] via 10.1.1.9, 04:43:27, Gi0/0/0/0\n"
       "[110/2] via 10.1.1.34, 04:43:27, Gi0/0/0/3\n"
       "L    2001:db8::1/128 is directly connected,\n"
       "00:54:19, Loopback60\n"
       "GARBAGE %%%% 10.9.9.0 foo bar\n",
       {"blue ipv4 O||1.1.1.1/32|110/2|10.1.1.9,Gi0/0/0/0,-;10.1.1.34,Gi0/0/0/3,-|04:43:27",
        "blue ipv6 L||2001:db8::1/128|-/-|-,Loopback60,-|00:54:19"},
       {8}},
      {"IOS read as IOS-XR: the routes printed without their length are not understood",
       Platform::kIosXr,
       "     10.0.0.0/24 is subnetted, 2 subnets\n"
       "O        10.1.1.0 [110/2] via 10.2.2.2, 00:01:02, Eth0\n"
       "S        10.9.0.0/16 [1/0] via 192.0.2.9\n",
       {"default ipv4 S||10.9.0.0/16|1/0|192.0.2.9,-,-|-"},
       {2}},
  };
  for (const Case& c : cases) {
    Check(c);
  }
}

// A large capture is read in two halves at once, the second on its own thread (into memory,
// appended after the first half): its JSON is byte for byte that of one reading, with routes in
// both halves, with none before the split, with the VRF and the inherited length of the first
// half carried into the second (a stripped header's too), with sections (whose second half
// waits in a table), among several captures.
TEST(TableReaders, JsonOfTwoHalvesIsThatOfOneReading) {
  std::string routes = "      10.0.0.0/24 is subnetted, 40 subnets\n";
  // Indentation stripped: a header's length holds for the entries that follow it.
  std::string stripped = "10.0.0.0/24 is subnetted, 40 subnets\n";
  for (int i = 0; i < 40; ++i) {
    routes += "O        10.0." + std::to_string(i) + ".0 [110/2] via 10.9.9.1, 1w4d, Gi2\n";
    routes += "B        172.16." + std::to_string(i) + ".0/24 \n";
    routes += "           [200/0] via 10.9.9." + std::to_string(i) + ", 01:02:03\n";
    stripped += "B 10.0." + std::to_string(i) + ".0 [200/0] via 10.9.9.1, 00:04:47\n";
    stripped += "C        192.168." + std::to_string(i) + ".0/30 is directly connected, Gi2\n";
  }
  const std::string noRoutesFirst = std::string(routes.size() * 11 / 10, ' ') + "\n" + routes;
  const std::string red = "Routing Table: red\n" + routes;
  const std::string sections = red + "Routing Table: blue\n" + routes;
  const struct {
    const std::string& capture;
    std::size_t routes;
  } cases[] = {{routes, 80}, {noRoutesFirst, 80}, {red, 80}, {stripped, 80}, {sections, 160}};
  for (const auto& c : cases) {
    const auto json = [&](std::size_t parallelFrom) {
      StringByteSink out;
      JsonRouteWriter writer(out, true);
      for (const char* source : {"a", "b"}) {
        writer.BeginCapture(source, Platform::kIos);
        IosReader(parallelFrom).Read(c.capture, writer);
        writer.EndCapture();
      }
      writer.Finish();
      return out.text;
    };
    const std::string whole = json(~std::size_t{0});
    std::size_t records = 0;
    for (std::size_t at = whole.find("{\"vrf\""); at != std::string::npos;
         at = whole.find("{\"vrf\"", at + 1)) {
      ++records;
    }
    EXPECT_EQ(records, 2 * c.routes);
    EXPECT_EQ(json(1), whole) << c.capture.substr(0, 40);
  }
}

// Lines a cleaning pass recognised count as it says, whatever their cleaned text reads as, in a
// capture read in two halves too.
TEST(TableReaders, LinesMarkedBeforeReadingCountAsMarked) {
  std::string capture = "=~=~=~=~=~=~= PuTTY log 2026.12.07 21:47:26 =~=~=~=~=~=~=\n";
  for (int i = 0; i < 50; ++i) {
    capture += "O        10.1." + std::to_string(i) + ".0/24 [110/2] via 10.2.2.2, 1d, Eth0\n";
  }
  capture += "<--- More --->\n";
  for (const std::size_t parallelFrom : {std::size_t{1}, ~std::size_t{0}}) {
    LineAccount account;
    account.Preset(1, LineKind::kPager);
    account.Preset(52, LineKind::kPager);
    RouteTable table;
    IosReader(parallelFrom).Read(capture, table, account);
    EXPECT_EQ(table.size(), 50u);
    EXPECT_EQ(account.count(LineKind::kPager), 2u);
    EXPECT_EQ(account.notUnderstood(), 0u);
    EXPECT_EQ(account.lines(), 52u);
  }
}

// A capture is placed by its route lines wherever they are: after a long configuration, with no
// legend or prompt; one with none is not placed.
TEST(TableReaders, CapturesArePlacedByTheirRouteLinesWhereverTheyAre) {
  std::string configuration = "R1#show running-config\n";
  for (int i = 0; i < 5000; ++i) {
    configuration += "interface GigabitEthernet0/" + std::to_string(i) + "\n description up\n";
  }
  const struct {
    const char* what;
    std::string capture;
    std::optional<Platform> platform;
  } cases[] = {
      {"IOS after 10,000 lines of configuration",
       configuration + "R1#show ip route\n"
                       "O        10.1.1.0/24 [110/2] via 10.2.2.2, 00:01:02, Eth0\n",
       Platform::kIos},
      {"EOS without legend", " B E    10.1.0.0/24 [200/0] via 10.0.0.1, Ethernet1\n",
       Platform::kEos},
      {"ASA without legend", "S        10.1.0.0 255.255.0.0 [1/0] via 10.2.2.2, outside\n",
       Platform::kAsa},
      {"NX-OS without its table header",
       "10.1.0.0/16, ubest/mbest: 1/0\n    *via 10.1.1.1, Eth1/1, [1/0], 1d, static\n",
       Platform::kNxos},
      {"IOS-XR by its prompt",
       "RP/0/RSP0/CPU0:pe1#show route\n"
       "O    10.1.1.0/24 [110/2] via 10.2.2.2, 00:01:02, Gi0/0/0/0\n",
       Platform::kIosXr},
      {"no route line", configuration, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DetectPlatform(c.capture), c.platform) << c.what;
  }
}

// A given platform that finds nothing in another platform's capture is refused (e2e); an empty
// table of that platform is not.
TEST(TableReaders, AnEmptyTableOfTheGivenPlatformIsNoFailure) {
  EXPECT_NO_THROW(CheckRoutesFound("Codes: C - connected\nGateway of last resort is not set\n",
                                   "empty.txt", Platform::kIos, 0));
}

}  // namespace
}  // namespace kestrelon::tables
