// The Junos reader on what the corpus lacks, written from Juniper's documentation of "show
// route": IPv6 and routing instances, wrapped destinations, several tables with labels, hidden
// and last-active entries, next-hop types, the terse view, and a capture without headings. Each
// case must also read the same as a terminal log (indentation stripped, CR LF line ends).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "files/line_cursor.h"
#include "tables/line_accounting.h"
#include "tables/platform_detect.h"
#include "tables/readers/junos.h"
#include "tables/route_table.h"

namespace kestrelon::tables {
namespace {

std::string Show(const OptionalText& text) {
  return text ? std::string(*text) : "-";
}

// "vrf afi protocol|flags|source|selected|prefix|distance/metric|hops|uptime" per record.
std::vector<std::string> Records(const std::string& capture, LineAccount& account) {
  RouteTable table;
  JunosReader().Read(capture, table, account);
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
                      std::string(SourceName(r.source)) + "|" + number(r.selected) + "|" +
                      std::string(r.prefix) + "|" + number(r.distance) + "/" + number(r.metric) +
                      "|" + hops + "|" + Show(r.uptime));
  });
  return records;
}

// The capture as a terminal log may hold it: no indentation, CR LF line ends.
std::string AsLog(const std::string& capture) {
  std::string out;
  files::LineCursor cursor(capture);
  while (!cursor.AtEnd()) {
    const std::string_view line = cursor.Next();
    const std::size_t indent = line.find_first_not_of(' ');
    out.append(indent == std::string_view::npos ? "" : line.substr(indent)).append("\r\n");
  }
  return out;
}

struct Case {
  const char* what;
  std::string capture;
  std::vector<std::string> records;
};

TEST(JunosReader, ReadsWhatTheDocumentationPrints) {
  const Case cases[] = {
      {"a routing instance's IPv6 table: link-local next hops, a destination too wide for its "
       "column printed alone, an inactive entry under the active one",
       "user@host> show route table blue.inet6.0\n"
       "\n"
       "blue.inet6.0: 3 destinations, 4 routes (3 active, 0 holddown, 0 hidden)\n"
       "+ = Active Route, - = Last Active, * = Both\n"
       "\n"
       "::/0               *[Static/5] 1w2d 03:04:05\n"
       "                    > to fe80::5:73ff:fea0:2 via ge-0/0/1.100\n"
       "2001:db8:1::/64    *[Direct/0] 6d 01:55:50\n"
       "                    > via ge-0/0/1.100\n"
       "                    [OSPF3/10] 6d 01:55:48, metric 2\n"
       "                    > to fe80::5:73ff:fea0:2 via ge-0/0/1.100\n"
       "2001:db8:1:0:ffff:ffff:ffff:ffff/128\n"
       "                   *[Local/0] 6d 01:55:50\n"
       "                      Local via ge-0/0/1.100\n"
       "\n"
       "{master:0}[edit]\n"
       "user@host# \n",
       {"blue ipv6 Static|*|static|1|::/0|5/-|fe80::5:73ff:fea0:2,ge-0/0/1.100,-|1w2d 03:04:05",
        "blue ipv6 Direct|*|connected|1|2001:db8:1::/64|0/-|-,ge-0/0/1.100,-|6d 01:55:50",
        "blue ipv6 OSPF3||ospf|0|2001:db8:1::/64|10/2|fe80::5:73ff:fea0:2,ge-0/0/1.100,-|6d "
        "01:55:48",
        "blue ipv6 Local|*|local|1|2001:db8:1:0:ffff:ffff:ffff:ffff/128|0/-|-,ge-0/0/1.100,-|6d "
        "01:55:50"}},
      {"inet.0, inet.3 and mpls.0: the newer legend, next-hop types, a next table, active and "
       "last-active entries, a hidden route, MED for metric, label operations; labels give no "
       "record",
       "inet.0: 6 destinations, 7 routes (5 active, 0 holddown, 1 hidden)\n"
       "Restart Complete\n"
       "@ = Routing Use Only, # = Forwarding Use Only\n"
       "+ = Active Route, - = Last Active, * = Both\n"
       "\n"
       "0.0.0.0/0          *[Static/5] 1w5d 20:30:29\n"
       "                      Discard\n"
       "10.0.0.0/8          [Static/5] 00:00:35\n"
       "                      to table red.inet.0\n"
       "10.255.1.1/32      +[OSPF/10] 00:05:01, metric 20\n"
       "                    > to 10.1.1.2 via ge-0/0/0.0\n"
       "                      to 10.1.2.2 via ge-0/0/1.0\n"
       "                   -[IS-IS/18] 00:05:03, metric 30\n"
       "                    > to 10.1.3.2 via ge-0/0/2.0\n"
       "172.16.0.0/16       [BGP ] 00:01:23, localpref 100, from 10.255.1.1\n"
       "                      AS path: 65001 65002 I, validation-state: unverified\n"
       "                      Unusable\n"
       "203.0.113.0/24     *[BGP/170/-101] 2d 03:04:05, MED 5, localpref 100, from 10.255.1.1\n"
       "                      AS path: 65001 I, validation-state: valid\n"
       "                    > to 10.1.1.2 via ge-0/0/0.0, Push 16, Push 299792(top)\n"
       "224.0.0.5/32       *[OSPF/10] 5w1d 22:44:43, metric 1\n"
       "                      MultiRecv\n"
       "\n"
       "inet.3: 1 destinations, 1 routes (1 active, 0 holddown, 0 hidden)\n"
       "+ = Active Route, - = Last Active, * = Both\n"
       "\n"
       "10.255.1.1/32      *[LDP/9] 00:05:00, metric 20\n"
       "                    > to 10.1.1.2 via ge-0/0/0.0, Swap 299808\n"
       "\n"
       "mpls.0: 3 destinations, 3 routes (3 active, 0 holddown, 0 hidden)\n"
       "+ = Active Route, - = Last Active, * = Both\n"
       "\n"
       "0                  *[MPLS/0] 1w0d 19:59:36, metric 1\n"
       "                      Receive\n"
       "299776             *[LDP/9] 00:05:00, metric 1\n"
       "                    > to 10.1.1.2 via ge-0/0/0.0, Pop\n"
       "299776(S=0)        *[LDP/9] 00:05:00, metric 1\n"
       "                    > to 10.1.1.2 via ge-0/0/0.0, Pop\n",
       {"default ipv4 Static|*|static|1|0.0.0.0/0|5/-|-,Discard,-|1w5d 20:30:29",
        "default ipv4 Static||static|0|10.0.0.0/8|5/-|-,-,red|00:00:35",
        "default ipv4 OSPF|+|ospf|1|10.255.1.1/32|10/20|10.1.1.2,ge-0/0/0.0,-;10.1.2.2,ge-0/0/"
        "1.0,-|00:05:01",
        "default ipv4 IS-IS|-|isis|0|10.255.1.1/32|18/30|10.1.3.2,ge-0/0/2.0,-|00:05:03",
        "default ipv4 BGP||bgp|0|172.16.0.0/16|-/-|-,Unusable,-|00:01:23",
        "default ipv4 BGP|*|bgp|1|203.0.113.0/24|170/5|10.1.1.2,ge-0/0/0.0,-|2d 03:04:05",
        "default ipv4 OSPF|*|ospf|1|224.0.0.5/32|10/1|-,MultiRecv,-|5w1d 22:44:43",
        "inet.3 ipv4 LDP|*|ldp|1|10.255.1.1/32|9/20|10.1.1.2,ge-0/0/0.0,-|00:05:00"}},
      {"the terse view: the validation column, BGP's MED in the second metric column, a second "
       "next hop and a second route of one destination on lines of their own",
       "inet.0: 4 destinations, 5 routes (4 active, 0 holddown, 0 hidden)\n"
       "+ = Active Route, - = Last Active, * = Both\n"
       "\n"
       "A V Destination        P Prf   Metric 1   Metric 2  Next hop        AS path\n"
       "* ? 10.0.0.0/24        D   0                       >ge-0/0/0.0\n"
       "* ? 10.0.0.1/32        L   0                        Local\n"
       "* ? 10.1.0.0/16        O  10          2            >10.0.0.2\n"
       "                                                    10.0.0.3\n"
       "* V 192.0.2.0/24       B 170        100          5 >10.0.0.4        65001 I\n"
       "  V                    B 170        100            >10.0.0.5        65002 65003 I\n",
       {"default ipv4 D|*|connected|1|10.0.0.0/24|0/-|-,ge-0/0/0.0,-|-",
        "default ipv4 L|*|local|1|10.0.0.1/32|0/-|-,Local,-|-",
        "default ipv4 O|*|ospf|1|10.1.0.0/16|10/2|10.0.0.2,-,-;10.0.0.3,-,-|-",
        "default ipv4 B|*|bgp|1|192.0.2.0/24|170/5|10.0.0.4,-,-|-",
        "default ipv4 B||bgp|0|192.0.2.0/24|170/-|10.0.0.5,-,-|-"}},
      {"routes alone, without heading or legend (placed by the shape of their lines)",
       "10.20.0.0/24       *[Direct/0] 17:43:33\n"
       "                    > via irb.20\n"
       "10.20.0.1/32       *[Local/0] 17:43:33\n"
       "                      Local via irb.20\n"
       "10.100.1.1/32      *[Access-internal/12] 18:36:24\n"
       "                    > to 10.100.0.1 via irb.21\n",
       {"default ipv4 Direct|*|connected|1|10.20.0.0/24|0/-|-,irb.20,-|17:43:33",
        "default ipv4 Local|*|local|1|10.20.0.1/32|0/-|-,irb.20,-|17:43:33",
        "default ipv4 Access-internal|*|other|1|10.100.1.1/32|12/-|10.100.0.1,irb.21,-|18:36:24"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const std::string& capture : {c.capture, AsLog(c.capture)}) {
      LineAccount account;
      EXPECT_EQ(Records(capture, account), c.records);
      EXPECT_EQ(account.lines(),
                static_cast<std::size_t>(std::count(capture.begin(), capture.end(), '\n')));
      EXPECT_EQ(account.notUnderstood(), 0u)
          << (account.examples().empty() ? "" : account.examples()[0].text);
      EXPECT_EQ(DetectPlatform(capture), Platform::kJunos);
    }
  }
}

// A large capture is read in two halves at once: the same records and account as in one pass,
// the second half taking the routing instance the first ends in.
TEST(JunosReader, ReadsALargeCaptureInHalvesAsInOnePass) {
  std::string capture = "inet.0: 2 destinations, 2 routes (2 active, 0 holddown, 0 hidden)\n";
  for (int i = 0; i < 2000; ++i) {
    if (i == 700) {
      capture += "red.inet.0: 1300 destinations, 1300 routes (1300 active, 0 holddown, 0 hidden)\n";
    }
    capture += "10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250) +
               "/32     *[OSPF/10] 00:00:0" + std::to_string(i % 10) + ", metric " +
               std::to_string(i) + "\n                    > to 10.9.9.9 via ge-0/0/0.0\n";
  }
  RouteTable whole, halves;
  LineAccount wholeAccount, halvesAccount;
  JunosReader().Read(capture, whole, wholeAccount);
  JunosReader(1).Read(capture, halves, halvesAccount);
  std::vector<std::string> a, b;
  whole.ForEach(
      [&](const RouteView& r) { a.push_back(std::string(r.vrf) + std::string(r.prefix)); });
  halves.ForEach(
      [&](const RouteView& r) { b.push_back(std::string(r.vrf) + std::string(r.prefix)); });
  EXPECT_EQ(a.size(), 2000u);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a.back(), "red10.0.7.249/32");
  EXPECT_EQ(halvesAccount.lines(), wholeAccount.lines());
  EXPECT_EQ(halvesAccount.count(LineKind::kRoute), wholeAccount.count(LineKind::kRoute));
}

}  // namespace
}  // namespace kestrelon::tables
