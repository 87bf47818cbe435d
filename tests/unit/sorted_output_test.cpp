#include "routes/sorted_output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrelon::routes {
namespace {

std::string B(int n) {
  return std::string(static_cast<std::size_t>(n), ' ');
}

std::array<bool, 6> Items(std::initializer_list<int> checked) {
  std::array<bool, 6> items{};
  for (int i : checked)
    items[static_cast<std::size_t>(i)] = true;
  return items;
}

struct CutCase {
  std::string line;
  std::array<bool, 6> items;
  std::string expected;
};

TEST(InfoFilter, CutsOfARouteLine) {
  const std::string o = "O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02, Ethernet0";
  const std::string c = "C" + B(7) + "10.2.2.0/24 is directly connected, Ethernet0";
  const CutCase cases[] = {
      {o, Items({0}), o},
      {o, Items({2}), "O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2, Ethernet0"},
      {o, Items({1}), "O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02"},
      {o, Items({1, 2}), "O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2"},
      {o, Items({3}), "O" + B(7) + "10.1.1.0/24 via 10.2.2.2, 00:01:02, Ethernet0"},
      {o, Items({1, 2, 3}), "O" + B(7) + "10.1.1.0/24 via 10.2.2.2"},
      {o, Items({4}), "O" + B(7) + "10.1.1.0/24"},
      {o, Items({5}), "O" + B(7) + "10.1.1.0"},
      {o, Items({4, 5, 1}), "O" + B(7) + "10.1.1.0"},  // 5 excludes the others
      {c, Items({2}), c},
      {c, Items({1}), "C" + B(7) + "10.2.2.0/24 is directly connected"},
      {c, Items({4}), "C" + B(7) + "10.2.2.0/24"},
      // The time cut keeps a middle item ending in "nets"; the interface cut keeps "nets"/"asks".
      {"O" + B(7) + "10.0.0.0/8 is subnetted, 3 subnets, 2 masks", Items({2, 1}),
       "O" + B(7) + "10.0.0.0/8 is subnetted, 3 subnets, 2 masks"},
      {"O" + B(7) + "10.0.0.0/8 x, 3 subnets", Items({1}), "O" + B(7) + "10.0.0.0/8 x, 3 subnets"},
      // A "B " line with one comma loses the comma and what follows; without a comma, nothing.
      {"B" + B(7) + "1.0.4.0/22 [20/0] via 203.0.113.1, 2w3d", Items({2}),
       "B" + B(7) + "1.0.4.0/22 [20/0] via 203.0.113.1"},
      {"B" + B(7) + "1.0.4.0/22 [20/0] via 203.0.113.1", Items({2}),
       "B" + B(7) + "1.0.4.0/22 [20/0] via 203.0.113.1"},
      {"B" + B(7) + "1.0.4.0/22 [20/0] via 203.0.113.1,, x", Items({2}),
       "B" + B(7) + "1.0.4.0/22 [20/0] via 203.0.113.1"},
      // Cost cut with nothing to cut or a negative length: unchanged.
      {"[O" + B(6) + "10.0.0.0/8 ] x", Items({3}), "[O" + B(6) + "10.0.0.0/8 ] x"},
      {"O" + B(7) + "10.0.0.0/8 x] y", Items({3}), "O" + B(7) + "10.0.0.0/8 x] y"},
      {"O" + B(7) + "10.0.0.0/8 [] y", Items({3}), "O" + B(7) + "10.0.0.0/8 [] y"},
      // The character before the "[" goes, even when it is not a blank or not ASCII.
      {"O" + B(7) + "10.0.0.0/8\xC3\xA9[1/0] y", Items({3}), "O" + B(7) + "10.0.0.0/8 y"},
      // Destination cuts look from column 10 on: a blank in column 9 of the old layout stays.
      {"O" + B(8) + "10.8.13.0/24 [110/110] via 10.8.1.2, 1d02h, Gi0/1", Items({5}),
       "O" + B(8) + "10.8.13.0"},
      {"O" + B(8) + "10.8.13.0/24 [110/110] via 10.8.1.2, 1d02h, Gi0/1", Items({2, 1}),
       "O" + B(8) + "10.8.13.0/24 [110/110] via 10.8.1.2"},
      // Flagged routes are cut like any other; the flag stays.
      {"B   +    10.55.0.0 [20/0] via 10.144.0.1 (red), 00:00:09", Items({2}),
       "B   +    10.55.0.0 [20/0] via 10.144.0.1 (red)"},
      {"S   %    10.34.0.1 [1/0] via 192.168.16.1", Items({5}), "S   %    10.34.0.1"},
  };
  for (const CutCase& cut : cases) {
    EXPECT_EQ(ApplyInfoFilter(cut.line, cut.items), cut.expected) << cut.line;
  }
}

TEST(InfoFilter, RouteShapeOfBothLayouts) {
  const std::pair<std::string, bool> cases[] = {
      {"O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2", true},
      {"O" + B(8) + "10.8.13.0/24 [110/110] via 10.8.1.2", true},  // today's layout
      {"S*" + B(6) + "0.0.0.0/0 [1/0] via 10.0.0.1", true},
      {"O E2" + B(4) + "10.2.0.0 255.255.0.0 [110/20]", true},
      {"O" + B(9) + "10.8.13.0/24", false},  // blanks in columns 9 and 10
      {"O" + B(7), true},                    // no ninth character counts as no blank
      {"O" + B(3), false},                   // no fifth character is no blank either
      {B(6) + "10.0.0.0/8 is subnetted, 2 subnets", false},
      {"Gateway of last resort is 10.1.1.1", false},
      {"R1#", false},
      {"", false},
      {"O   x   ", false},
      // A flag in column 5 keeps the shape; other characters there do not.
      {"S   %    10.34.0.1 [1/0] via 192.168.16.1", true},
      {"C   p    10.34.0.2 is directly connected, Loopback0", true},
      {"S   &    10.69.0.0 [1/0] via 10.34.0.1", true},
      {"B   +    10.55.0.0 [20/0] via 10.144.0.1 (red), 00:00:09", true},
      {"S   x    10.34.0.1 [1/0] via 192.168.16.1", false},
      {"S   *    10.34.0.1 [1/0] via 192.168.16.1", false},
  };
  for (const auto& [line, shaped] : cases) {
    EXPECT_EQ(IsRouteShaped(line), shaped) << "\"" << line << "\"";
  }
}

SortOptions Filter(std::initializer_list<int> items, bool follow = true) {
  SortOptions o;
  o.followOptions = follow;
  o.infoDel = Items(items);
  return o;
}

// A staged line and whether staging expanded it.
struct Staged {
  Staged(std::string line, bool isPath = false) : text(std::move(line)), expanded(isPath) {}
  std::string text;
  bool expanded;
};

std::vector<std::string> Write(const std::vector<Staged>& staged, const SortOptions& o) {
  SortedLineWriter writer(o);
  std::vector<std::string> out;
  for (const Staged& line : staged) {
    out.emplace_back(writer.Process(line.text, line.expanded));
  }
  return out;
}

TEST(SortedOutput, ExpandedPathUnderItsRouteIsIndentedAgain) {
  const std::string first = "O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02, Ethernet0";
  const Staged path{"O" + B(7) + "10.1.1.0/24 [110/20] via 10.3.3.3, 00:01:02, Ethernet1 *", true};
  EXPECT_EQ(
      Write({first, path}, Filter({0})),
      (std::vector<std::string>{first, B(20) + "[110/20] via 10.3.3.3, 00:01:02, Ethernet1"}));
  // Filters apply to the expanded path as read: the time cut still cuts it.
  EXPECT_EQ(Write({first, path}, Filter({2}))[1], B(20) + "[110/20] via 10.3.3.3, Ethernet1");
  // With its "[" beyond column 10, the destination-only cut leaves nine blanks.
  EXPECT_EQ(Write({first, path}, Filter({5}))[1], B(9));
  EXPECT_EQ(Write({first, path}, Filter({4}))[1], B(19));
  // Not followed: no filter at all.
  EXPECT_EQ(Write({first, path}, Filter({5}, false))[1],
            B(20) + "[110/20] via 10.3.3.3, 00:01:02, Ethernet1");
}

TEST(SortedOutput, NextHopOrderDetachesAPathAndReattachesItsRoute) {
  // Sorted by next hop, the expanded path (via 10.0.0.1) comes before its route (via 10.9.9.9).
  const Staged path{"O" + B(7) + "10.1.1.0/24 [110/20] via 10.0.0.1, E1 *", true};
  const std::string route = "O" + B(7) + "10.1.1.0/24 [110/20] via 10.9.9.9, E0";
  const std::string other = "O" + B(7) + "10.7.7.0/24 [110/20] via 10.9.9.9, E0";
  EXPECT_EQ(Write({path, route, other}, Filter({0})),
            (std::vector<std::string>{"O" + B(7) + "10.1.1.0/24 [110/20] via 10.0.0.1, E1",
                                      B(20) + "[110/20] via 10.9.9.9, E0", other}));
  // A marked line without "[" under a line without one: marker removed, no indent.
  EXPECT_EQ(Write({{"R1#"}, {"abc *", true}}, Filter({0})),
            (std::vector<std::string>{"R1#", "abc"}));
}

TEST(SortedOutput, CaptureLineEndingInTheMarkIsWrittenAsItStands) {
  // Neither the prompt nor the route is an expanded path: both keep their " *", and the route
  // after them is not indented under a line that only looks like a path.
  const std::vector<Staged> staged = {
      {"R1#show ip route vrf *"},
      {"S" + B(7) + "10.89.0.0/24 [1/0] via 10.0.0.9 *"},
      {"S" + B(7) + "10.89.0.0/24 [1/0] via 10.0.0.10"},
  };
  EXPECT_EQ(Write(staged, Filter({0})),
            (std::vector<std::string>{staged[0].text, staged[1].text, staged[2].text}));
}

}  // namespace
}  // namespace kestrelon::routes
