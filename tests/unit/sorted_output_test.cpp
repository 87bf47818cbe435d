#include "routes/sorted_output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_files.h"

namespace kestrelon::routes {
namespace {

using testing::B;

std::array<bool, 6> Items(std::initializer_list<int> checked) {
  std::array<bool, 6> items{};
  for (int i : checked)
    items[static_cast<std::size_t>(i)] = true;
  return items;
}

TEST(InfoFilter, CutsOfARouteLine) {
  const std::string o = "O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02, Ethernet0";
  const std::string c = "C" + B(7) + "10.2.2.0/24 is directly connected, Ethernet0";
  const std::string modern = "O" + B(8) + "10.8.13.0/24 [110/110] via 10.8.1.2, 1d02h, Gi0/1";
  const std::string nets = "O" + B(7) + "10.0.0.0/8 is subnetted, 3 subnets, 2 masks";
  const struct {
    std::string line;
    std::array<bool, 6> items;
    std::string cut;
  } cases[] = {
      {o, Items({0}), o},
      {o, Items({2}), "O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2, Ethernet0"},
      {o, Items({1}), "O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02"},
      {o, Items({3}), "O" + B(7) + "10.1.1.0/24 via 10.2.2.2, 00:01:02, Ethernet0"},
      {o, Items({1, 2, 3}), "O" + B(7) + "10.1.1.0/24 via 10.2.2.2"},
      {o, Items({4}), "O" + B(7) + "10.1.1.0/24"},
      {o, Items({4, 5, 1}), "O" + B(7) + "10.1.1.0"},  // the destination alone excludes the rest
      {c, Items({2}), c},
      {c, Items({1}), "C" + B(7) + "10.2.2.0/24 is directly connected"},
      // Middle items ending in "nets" or "asks" are no time or interface.
      {nets, Items({1, 2}), nets},
      {"O" + B(7) + "10.0.0.0/8 x, 3 subnets", Items({1}), "O" + B(7) + "10.0.0.0/8 x, 3 subnets"},
      // A "B " line loses its last comma and what follows; without a comma, nothing.
      {"B" + B(7) + "1.0.4.0/22 [20/0] via 203.0.113.1, 2w3d", Items({2}),
       "B" + B(7) + "1.0.4.0/22 [20/0] via 203.0.113.1"},
      {"B" + B(7) + "1.0.4.0/22 [20/0] via 203.0.113.1", Items({2}),
       "B" + B(7) + "1.0.4.0/22 [20/0] via 203.0.113.1"},
      // A cost cut of a negative length leaves the line; the character before "[" goes.
      {"[O" + B(6) + "10.0.0.0/8 ] x", Items({3}), "[O" + B(6) + "10.0.0.0/8 ] x"},
      {"O" + B(7) + "10.0.0.0/8 x] y", Items({3}), "O" + B(7) + "10.0.0.0/8 x] y"},
      {"O" + B(7) + "10.0.0.0/8\xC3\xA9[1/0] y", Items({3}), "O" + B(7) + "10.0.0.0/8 y"},
      // Today's layout, destination from column 10; flagged routes keep their flag.
      {modern, Items({5}), "O" + B(8) + "10.8.13.0"},
      {modern, Items({1, 2}), "O" + B(8) + "10.8.13.0/24 [110/110] via 10.8.1.2"},
      {"S   %    10.34.0.1 [1/0] via 192.168.16.1", Items({5}), "S   %    10.34.0.1"},
  };
  for (const auto& [line, items, cut] : cases) {
    EXPECT_EQ(ApplyInfoFilter(line, items), cut) << line;
  }
}

TEST(InfoFilter, RouteShapeOfBothLayouts) {
  const std::pair<std::string, bool> cases[] = {
      {"O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2", true},
      {"O" + B(8) + "10.8.13.0/24 [110/110] via 10.8.1.2", true},
      {"O" + B(9) + "10.8.13.0/24", false},  // blanks in columns 9 and 10
      {"O" + B(7), true},
      {"O" + B(3), false},
      {"R1#", false},
      {"B   +    10.55.0.0 [20/0] via 10.144.0.1 (red), 00:00:09", true},
      {"S   x    10.34.0.1 [1/0] via 192.168.16.1", false},
  };
  for (const auto& [line, shaped] : cases) {
    EXPECT_EQ(IsRouteShaped(line), shaped) << '"' << line << '"';
  }
}

// The writer's output for staged lines, each with whether staging expanded it.
std::vector<std::string> Write(const std::vector<std::pair<std::string, bool>>& staged,
                               std::initializer_list<int> items, bool follow = true) {
  SortOptions options;
  options.followOptions = follow;
  options.infoDel = Items(items);
  SortedLineWriter writer(options);
  std::vector<std::string> out;
  for (const auto& [line, expanded] : staged) {
    out.emplace_back(writer.Process(line, expanded));
  }
  return out;
}

TEST(SortedOutput, ExpandedPathIsIndentedAgainUnderItsRoute) {
  const std::string first = "O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02, Ethernet0";
  const std::pair<std::string, bool> path{
      "O" + B(7) + "10.1.1.0/24 [110/20] via 10.3.3.3, 00:01:02, Ethernet1 *", true};
  const std::string indented = B(20) + "[110/20] via 10.3.3.3, 00:01:02, Ethernet1";
  EXPECT_EQ(Write({{first, false}, path}, {0}), (std::vector<std::string>{first, indented}));
  EXPECT_EQ(Write({{first, false}, path}, {5}, false)[1], indented);
  // Filters apply to the path as read; the destination cuts leave only blanks.
  EXPECT_EQ(Write({{first, false}, path}, {2})[1], B(20) + "[110/20] via 10.3.3.3, Ethernet1");
  EXPECT_EQ(Write({{first, false}, path}, {5})[1], B(9));
  EXPECT_EQ(Write({{first, false}, path}, {4})[1], B(19));
  // A further path of a BGP route loses its time as the route does, or the compare would
  // report every multipath BGP route whose uptime moved on.
  const std::string bgp = "B" + B(8) + "10.0.0.0/8 [20/0] via 192.0.2.1, 00:01:02";
  const std::pair<std::string, bool> bgpPath{
      "B" + B(8) + "10.0.0.0/8 [20/0] via 192.0.2.2, 00:01:02 *", true};
  EXPECT_EQ(Write({{bgp, false}, bgpPath}, {2}),
            (std::vector<std::string>{"B" + B(8) + "10.0.0.0/8 [20/0] via 192.0.2.1",
                                      B(20) + "[20/0] via 192.0.2.2"}));
}

TEST(SortedOutput, PathSortedBeforeItsRouteDetachesIt) {
  // By next hop, the expanded path (via 10.0.0.1) comes before its route (via 10.9.9.9).
  const std::string route = "O" + B(7) + "10.1.1.0/24 [110/20] via 10.9.9.9, E0";
  const std::string other = "O" + B(7) + "10.7.7.0/24 [110/20] via 10.9.9.9, E0";
  EXPECT_EQ(Write({{"O" + B(7) + "10.1.1.0/24 [110/20] via 10.0.0.1, E1 *", true},
                   {route, false},
                   {other, false}},
                  {0}),
            (std::vector<std::string>{"O" + B(7) + "10.1.1.0/24 [110/20] via 10.0.0.1, E1",
                                      B(20) + "[110/20] via 10.9.9.9, E0", other}));
  // A marked line without "[" under a line without one: marker removed, no indent.
  EXPECT_EQ(Write({{"R1#", false}, {"abc *", true}}, {0}),
            (std::vector<std::string>{"R1#", "abc"}));
}

TEST(SortedOutput, CaptureLineEndingInTheMarkIsWrittenAsItStands) {
  // Neither the prompt nor the route was expanded: both keep their " *", and the route after
  // them is not indented under a line that only looks like a path.
  const std::vector<std::pair<std::string, bool>> staged = {
      {"R1#show ip route vrf *", false},
      {"S" + B(7) + "10.89.0.0/24 [1/0] via 10.0.0.9 *", false},
      {"S" + B(7) + "10.89.0.0/24 [1/0] via 10.0.0.10", false},
  };
  EXPECT_EQ(Write(staged, {0}),
            (std::vector<std::string>{staged[0].first, staged[1].first, staged[2].first}));
}

}  // namespace
}  // namespace kestrelon::routes
