// The packed route table: every route comes back as it was put (absent and empty texts apart,
// texts longer than a one-byte length, many paths), and its packed fields are equal exactly when
// all but the VRF and uptime are; the short texts it is made of copied and compared at any size.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tables/route_table.h"
#include "tables/short_text.h"

namespace kestrelon::tables {
namespace {

std::string Show(const RouteView& r) {
  const auto text = [](const OptionalText& t) { return t ? "'" + std::string(*t) + "'" : "-"; };
  const auto number = [](const auto& v) { return v ? std::to_string(*v) : std::string("-"); };
  std::string hops;
  for (const NextHopView& h : r.nextHops) {
    hops += text(h.address) + "," + text(h.interface) + "," + text(h.vrf) + ";";
  }
  return std::string(r.vrf) + "|" + std::string(AfiName(r.afi)) + "|" + std::string(r.protocol) +
         "|" + std::string(r.flags) + "|" + std::string(r.prefix) + "|" + number(r.distance) + "|" +
         number(r.metric) + "|" + hops + "|" + text(r.uptime);
}

TEST(RouteTable, GivesBackEveryRouteAsPut) {
  const std::string longText(300, 'x');  // longer than a one-byte length
  std::vector<std::string> addresses;    // outlive the views below
  for (int i = 0; i < 300; ++i) {
    addresses.push_back("10.0.0." + std::to_string(i % 250));
  }
  std::vector<NextHopView> many;
  for (const std::string& address : addresses) {
    many.push_back({address, std::nullopt, std::nullopt});
  }
  const NextHopView mixed[] = {{"", "Gi0/0", "red"}, {std::nullopt, "", std::nullopt}};
  RouteView routes[4];
  routes[0].protocol = "B";
  routes[0].prefix = "10.1.0.0/16";
  routes[0].distance = 20;
  routes[0].metric = 18446744073709551615ull;
  routes[0].nextHops = mixed;
  routes[0].uptime = "";
  routes[1].vrf = longText;
  routes[1].afi = Afi::kIpv6;
  routes[1].protocol = longText;
  routes[1].flags = "*%";
  routes[1].prefix = "2001:db8::/64";
  routes[1].nextHops = many;
  routes[1].uptime = longText;
  routes[2].vrf = "red";
  routes[2].prefix = "0.0.0.0/0";
  routes[2].metric = 0;
  routes[3] = routes[0];
  routes[3].vrf = "red";

  RouteTable table;
  for (const RouteView& route : routes) {
    table.Put(route);
  }
  ASSERT_EQ(table.size(), 4u);
  std::vector<NextHopView> hops;
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(Show(table.At(i, hops)), Show(routes[i])) << i;
  }
  EXPECT_EQ(table.VrfCount(), 3u);
  EXPECT_EQ(table.VrfId(2), table.VrfId(3));
  EXPECT_EQ(table.VrfName(table.VrfId(1)), longText);
}

TEST(RouteTable, PackedFieldsAreEqualExactlyWhenAllButVrfAndUptimeAre) {
  const NextHopView one[] = {{"10.0.0.1", "Gi0/0", std::nullopt},
                             {"10.0.0.2", "Gi0/1", std::nullopt}};
  const NextHopView swapped[] = {one[1], one[0]};
  const NextHopView noInterface[] = {{"10.0.0.1", std::nullopt, std::nullopt}, one[1]};
  const NextHopView emptyInterface[] = {{"10.0.0.1", "", std::nullopt}, one[1]};
  RouteView base;
  base.protocol = "O";
  base.prefix = "10.1.0.0/16";
  base.distance = 110;
  base.metric = 20;
  base.nextHops = one;
  base.uptime = "00:01:02";

  struct Case {
    const char* what;
    std::function<void(RouteView&)> change;
    bool sameFields;
    bool sameUptime;
  };
  const Case cases[] = {
      {"the same", [](RouteView&) {}, true, true},
      {"another VRF", [](RouteView& r) { r.vrf = "red"; }, true, true},
      {"another uptime", [](RouteView& r) { r.uptime = "00:01:03"; }, true, false},
      {"no uptime", [](RouteView& r) { r.uptime = std::nullopt; }, true, false},
      {"no distance", [](RouteView& r) { r.distance = std::nullopt; }, false, true},
      {"metric 0", [](RouteView& r) { r.metric = 0; }, false, true},
      {"paths swapped", [&](RouteView& r) { r.nextHops = swapped; }, false, true},
      {"no interface", [&](RouteView& r) { r.nextHops = noInterface; }, false, true},
      {"an empty interface", [&](RouteView& r) { r.nextHops = emptyInterface; }, false, true},
      {"IPv6", [](RouteView& r) { r.afi = Afi::kIpv6; }, false, true},
      {"a flag", [](RouteView& r) { r.flags = "*"; }, false, true},
  };
  for (const Case& c : cases) {
    RouteView other = base;
    c.change(other);
    RouteTable table;
    table.Put(base);
    table.Put(other);
    EXPECT_EQ(table.PackedFields(0) == table.PackedFields(1), c.sameFields) << c.what;
    EXPECT_EQ(table.PackedUptime(0) == table.PackedUptime(1), c.sameUptime) << c.what;
  }
}

// Every size around the words the texts are moved in: the copy is the text, nothing beside it is
// touched, and a text differs from one changed in any single byte.
TEST(ShortText, CopiesAndComparesEveryByteAndNothingBeside) {
  for (std::size_t size = 0; size <= 40; ++size) {
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
      text += static_cast<char>('a' + i % 26);
    }
    std::string out(size + 2, '#');
    EXPECT_EQ(CopyText(out.data() + 1, text), out.data() + 1 + size) << size;
    EXPECT_EQ(out, "#" + text + "#") << size;
    EXPECT_TRUE(SameText(text, std::string(text))) << size;
    EXPECT_FALSE(SameText(text, text + "a")) << size;
    for (std::size_t i = 0; i < size; ++i) {
      std::string other = text;
      other[i] = '.';
      EXPECT_FALSE(SameText(text, other)) << size << " " << i;
    }
  }
}

}  // namespace
}  // namespace kestrelon::tables
