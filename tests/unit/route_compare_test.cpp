#include "routes/route_compare.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/file_error.h"
#include "files/file_writer.h"
#include "routes/compare_run.h"
#include "test_files.h"

namespace kestrelon::routes {
namespace {

using namespace kestrelon::testing;
using Lines = std::vector<std::string>;

const std::string kO1 = "O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02, Ethernet0";
const std::string kO1Path = B(20) + "[110/20] via 10.3.3.3, 00:01:02, Ethernet1";
const std::string kC = "C" + B(7) + "10.2.2.0/24 is directly connected, Ethernet0";
const std::string kS = "S" + B(7) + "192.168.5.0/24 [1/0] via 10.2.2.9";

// The difference file of a compare of before.log and after.log; blocks gets the count.
std::string Compare(const std::string& before, const std::string& after, std::int64_t* blocks,
                    std::initializer_list<int> userItems = {0}) {
  TempDir dir;
  WriteFile(dir / "before.log", before);
  WriteFile(dir / "after.log", after);
  CompareRequest r;
  r.inputs = {dir / "before.log", dir / "after.log"};
  r.diffFile = dir / "after.dif";
  r.headerNames = {"before.log", "after.log"};
  r.userOptions.infoDel = {};
  for (const int item : userItems) {
    r.userOptions.infoDel[static_cast<std::size_t>(item)] = true;
  }
  RouteLineParser parser;
  SortPipeline pipeline(parser);
  *blocks = RunCompare(pipeline, r);
  return ReadFile(dir / "after.dif");
}

std::string Expected(const Lines& body, const std::string& summary) {
  Lines lines = {"前: before.log", "後: after.log", ""};
  lines.insert(lines.end(), body.begin(), body.end());
  lines.push_back(summary);
  return JoinLines(lines);
}

TEST(RouteCompare, Differences) {
  const std::string c24 = "C" + B(7) + "10.5.0.0/24 is directly connected, E0";
  const std::string c16 = "C" + B(7) + "10.5.0.0/16 is directly connected, E1";
  const std::string s16 = "S" + B(7) + "10.5.0.0/16 [1/0] via 10.9.9.9";
  const std::string head = JoinLines({"R1#show ip route", "Gateway of last resort is not set", ""});
  const struct {
    std::string before, after, expected;
    std::int64_t blocks;
  } cases[] = {
      // A changed entry (all its lines), a removed and an added one; no line end at the end.
      {head + JoinLines({kO1, kO1Path, kC, "R1#"}),
       JoinLines({"O" + B(7) + "10.1.1.0/24 [110/30] via 10.2.2.2, 00:09:09, Ethernet0"}) + kS,
       Expected({"前< O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2, Ethernet0",
                 "前< " + B(20) + "[110/20] via 10.3.3.3, Ethernet1",
                 "後> O" + B(7) + "10.1.1.0/24 [110/30] via 10.2.2.2, Ethernet0", "", "減< " + kC,
                 "", "増> " + kS, ""},
                " 3 の違いがあります"),
       3},
      // Uptimes, prompts, the gateway and classful headers are no difference.
      {head + JoinLines({B(6) + "10.0.0.0/8 is subnetted, 2 subnets", kO1, "R1#"}),
       JoinLines({"R2#", "Gateway of last resort is 10.9.9.9 to network 0.0.0.0",
                  B(6) + "10.0.0.0/8 is subnetted, 5 subnets",
                  "O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2, 3d04h, Ethernet0"}),
       Expected({}, "同等です"), 0},
      // Entries with one destination pair in their sorted order (next hop before mask).
      {JoinLines({c24, c16}), JoinLines({c16, s16}),
       Expected({"前< " + c24, "後> " + s16, ""}, " 1 の違いがあります"), 1},
      {JoinLines({c24, c16}), JoinLines({c16}), Expected({"減< " + c24, ""}, " 1 の違いがあります"),
       1},
      // Destinations that differ in their low half alone pair in numeric order.
      {JoinLines({"C" + B(7) + "10.2.1.0/24 is directly connected, E0", kC}), JoinLines({kC}),
       Expected({"減< C" + B(7) + "10.2.1.0/24 is directly connected, E0", ""},
                " 1 の違いがあります"),
       1},
      // A route moves from VRF red to VRF blue, listed in the other order: routes pair within the
      // VRF of their name; the blocks follow the first capture's tables, then the new ones.
      {JoinLines({"Routing Table: blue", kC, "Routing Table: red", kC, kS}),
       JoinLines(
           {"Routing Table: red", kC, "Routing Table: blue", kC, kS, "Routing Table: green", kO1}),
       Expected({"増> " + kS, "", "減< " + kS, "",
                 "増> O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2, Ethernet0", ""},
                " 3 の違いがあります"),
       3},
      // Two tables a side: each pairs with its own, though the routes only swap tables.
      {JoinLines({"Routing Table: blue", kC, "Routing Table: red", kS}),
       JoinLines({"Routing Table: blue", kS, "Routing Table: red", kC}),
       Expected({"減< " + kC, "", "増> " + kS, "", "増> " + kC, "", "減< " + kS, ""},
                " 4 の違いがあります"),
       4},
      // A mask of two hex digits that ends at the "[": its rebuilt path reads as a mask of its
      // own in the parser both sides share; a capture compared with itself is still equal.
      {JoinLines({"C       1.2.3.0 0x0[zzzzzzzz", B(19) + "[123456 x", "C       1.0.0.0/24 is E0"}),
       JoinLines({"C       1.2.3.0 0x0[zzzzzzzz", B(19) + "[123456 x", "C       1.0.0.0/24 is E0"}),
       Expected({}, "同等です"), 0},
  };
  for (const auto& c : cases) {
    std::int64_t blocks = -1;
    EXPECT_EQ(Compare(c.before, c.after, &blocks), c.expected);
    EXPECT_EQ(blocks, c.blocks);
  }
}

TEST(RouteCompare, OnlyEightLinesOfAnEntryCount) {
  Lines before = {kO1}, after = {kO1};
  for (int i = 0; i < 9; ++i) {
    before.push_back(B(20) + "[110/20] via 10.3.3." + std::to_string(10 + i) + ", E1");
    after.push_back(B(20) + "[110/20] via 10.3.3." + std::to_string(i == 8 ? 99 : 10 + i) + ", E1");
  }
  std::int64_t blocks = -1;
  EXPECT_EQ(Compare(JoinLines(before), JoinLines(after), &blocks), Expected({}, "同等です"));
  // Without the second line the eighth lines differ: eight lines a side are written.
  after.erase(after.begin() + 1);
  const std::string result = Compare(JoinLines(before), JoinLines(after), &blocks);
  EXPECT_EQ(blocks, 1);
  EXPECT_NE(result.find("前< " + B(20) + "[110/20] via 10.3.3.16, E1\r\n後> "), std::string::npos);
  EXPECT_NE(result.find("後> " + B(20) + "[110/20] via 10.3.3.17, E1\r\n\r\n"), std::string::npos);
}

TEST(RouteCompare, DestinationCutsStillFindAddedAndRemovedRoutes) {
  // The route line then ends right after its address, printed without a mask under a classful
  // header.
  const std::string header = B(5) + "172.16.0.0/24 is subnetted, 2 subnets";
  const std::string before = JoinLines({header, "C" + B(7) + "172.16.1.0 is directly connected, E0",
                                        "O" + B(7) + "172.16.2.0 [110/2] via 172.16.1.2, E0", kS});
  const std::string after =
      JoinLines({header, "C" + B(7) + "172.16.1.0 is directly connected, E0"});
  std::int64_t blocks = -1;
  EXPECT_EQ(Compare(before, after, &blocks, {5}),
            Expected({"減< O" + B(7) + "172.16.2.0", "", "減< S" + B(7) + "192.168.5.0", ""},
                     " 2 の違いがあります"));
  EXPECT_EQ(Compare(before, after, &blocks, {4}),
            Expected({"減< O" + B(7) + "172.16.2.0", "", "減< S" + B(7) + "192.168.5.0/24", ""},
                     " 2 の違いがあります"));
}

// A capture without a route line is refused (the front ends' tests show it); so is a sort
// result without an entry, whoever sorted it.
TEST(RouteCompare, MergeRefusesATextWithoutAnEntry) {
  TempDir dir;
  files::OutputFile result(dir / "after.dif");
  EXPECT_THROW(
      WriteDifferences(JoinLines({"R1#", kC}), JoinLines({"R1#", B(6) + "10.0.0.0/8 is subnetted"}),
                       RouteLineParser(), "before.log", "after.log", result),
      FileError);
}

}  // namespace
}  // namespace kestrelon::routes
