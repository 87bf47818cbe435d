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

using kestrelon::testing::Exists;
using kestrelon::testing::ListFolder;
using kestrelon::testing::ReadFile;
using kestrelon::testing::TempDir;
using kestrelon::testing::WriteFile;

std::string B(int n) {
  return std::string(static_cast<std::size_t>(n), ' ');
}

std::string Crlf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + "\r\n";
  return text;
}

const std::string kHead = Crlf({"R1#show ip route", "Codes: C - connected, S - static, O - OSPF",
                                "", "Gateway of last resort is not set", ""});
const std::string kO1 = "O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02, Ethernet0";
const std::string kO1Path = B(20) + "[110/20] via 10.3.3.3, 00:01:02, Ethernet1";
const std::string kC = "C" + B(7) + "10.2.2.0/24 is directly connected, Ethernet0";
const std::string kS = "S" + B(7) + "192.168.5.0/24 [1/0] via 10.2.2.9";

// A compare of before.log and after.log in dir, the header naming them without the folder.
CompareRequest RequestIn(const TempDir& dir) {
  CompareRequest r;
  r.inputs = {dir / "before.log", dir / "after.log"};
  r.sortResults = {dir / "before.s1", dir / "after.s2"};
  r.diffFile = dir / "after.dif";
  r.headerNames = {"before.log", "after.log"};
  return r;
}

struct CompareRun {
  TempDir dir;
  std::string result;
  std::int64_t blocks = -1;
  CompareRun(const std::string& before, const std::string& after, bool keep = false,
             const SortOptions& user = SortOptions{}) {
    WriteFile(dir / "before.log", before);
    WriteFile(dir / "after.log", after);
    RouteLineParser parser;
    SortPipeline pipeline(parser);
    CompareRequest r = RequestIn(dir);
    r.keepSortResults = keep;
    r.userOptions = user;
    blocks = RunCompare(pipeline, r);
    result = ReadFile(dir / "after.dif");
  }
};

std::string Expected(const std::vector<std::string>& body, const std::string& summary) {
  std::vector<std::string> lines = {"前: before.log", "後: after.log", ""};
  lines.insert(lines.end(), body.begin(), body.end());
  lines.push_back(summary);
  return Crlf(lines);
}

TEST(RouteCompare, IdenticalLogsAreEquivalent) {
  const std::string log = kHead + Crlf({kO1, kO1Path, kC, kS, "R1#"});
  CompareRun run(log, log);
  EXPECT_EQ(run.result, Expected({}, "同等です"));
  EXPECT_EQ(run.blocks, 0);
  EXPECT_EQ(ListFolder(run.dir.path()), "after.dif\nafter.log\nbefore.log\n");
}

TEST(RouteCompare, AddedRemovedAndChangedRoutes) {
  const std::string before = kHead + Crlf({kO1, kO1Path, kC, "R1#"});
  const std::string after =
      kHead +
      Crlf({"O" + B(7) + "10.1.1.0/24 [110/30] via 10.2.2.2, 00:09:09, Ethernet0", kS, "R1#"});
  CompareRun run(before, after);
  EXPECT_EQ(
      run.result,
      Expected({"前< " + std::string("O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2, Ethernet0"),
                "前< " + B(20) + "[110/20] via 10.3.3.3, Ethernet1",
                "後> O" + B(7) + "10.1.1.0/24 [110/30] via 10.2.2.2, Ethernet0", "", "減< " + kC,
                "", "増> " + kS, ""},
               " 3 の違いがあります"));
  EXPECT_EQ(run.blocks, 3);
}

TEST(RouteCompare, TimeAloneIsNoDifferenceAndHeadersNeverShow) {
  const std::string before =
      kHead + Crlf({B(6) + "10.0.0.0/8 is subnetted, 2 subnets", kO1, "R1#"});
  const std::string after =
      Crlf({"R2#show ip route", "Gateway of last resort is 10.9.9.9 to network 0.0.0.0",
            B(6) + "10.0.0.0/8 is subnetted, 5 subnets",
            "O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2, 3d04h, Ethernet0", "R2#"});
  CompareRun run(before, after);
  EXPECT_EQ(run.result, Expected({}, "同等です"));
}

TEST(RouteCompare, OneSidedEntriesAndLastLineWithoutLineEnd) {
  const std::string other = "C" + B(7) + "10.0.0.0/8 is directly connected, Ethernet9";
  CompareRun run(other, kC + "\r\n" + kS);
  EXPECT_EQ(run.result, Expected({"減< " + other, "", "増> " + kC, "", "増> " + kS, ""},
                                 " 3 の違いがあります"));
}

TEST(RouteCompare, OnlyEightLinesOfAnEntryCount) {
  std::vector<std::string> before = {kO1};
  std::vector<std::string> after = {kO1};
  for (int i = 0; i < 9; ++i) {
    before.push_back(B(20) + "[110/20] via 10.3.3." + std::to_string(10 + i) + ", 00:01:02, E1");
    after.push_back(B(20) + "[110/20] via 10.3.3." + std::to_string(i == 8 ? 99 : 10 + i) +
                    ", 00:01:02, E1");
  }
  // Paths 2 to 8 are equal; the ninth differs but is not compared.
  CompareRun same(Crlf(before), Crlf(after));
  EXPECT_EQ(same.result, Expected({}, "同等です"));
  after.erase(after.begin() + 1);
  CompareRun changed(Crlf(before), Crlf(after));
  EXPECT_EQ(changed.blocks, 1);
  // Eight "前< " and eight "後> " lines, then the empty line and the summary.
  const std::string& text = changed.result;
  std::size_t beforeLines = 0, afterLines = 0;
  for (std::size_t at = 0; (at = text.find("\r\n前< ", at)) != std::string::npos; ++at) {
    ++beforeLines;
  }
  for (std::size_t at = 0; (at = text.find("\r\n後> ", at)) != std::string::npos; ++at) {
    ++afterLines;
  }
  EXPECT_EQ(beforeLines, 8u);
  EXPECT_EQ(afterLines, 8u);
}

TEST(RouteCompare, EntriesWithOneDestinationPairInFileOrder) {
  const std::string c24 = "C" + B(7) + "10.5.0.0/24 is directly connected, E0";
  const std::string c16 = "C" + B(7) + "10.5.0.0/16 is directly connected, E1";
  const std::string s16 = "S" + B(7) + "10.5.0.0/16 [1/0] via 10.9.9.9";
  // Sorted by destination then next hop then mask: the two connected routes (next hop 0) come
  // first, /16 before /24; the static one last.
  CompareRun run(Crlf({c24, c16}), Crlf({c16, s16}));
  EXPECT_EQ(run.result, Expected({"前< " + c24, "後> " + s16, ""}, " 1 の違いがあります"));
  // The surplus entry of one side comes out on its own.
  CompareRun surplus(Crlf({c24, c16}), Crlf({c16}));
  EXPECT_EQ(surplus.result, Expected({"減< " + c24, ""}, " 1 の違いがあります"));
}

TEST(RouteCompare, DestinationFiltersStillFindAddedAndRemovedRoutes) {
  // Under the destination cuts a route line ends right after its address (dest-only), or right
  // after an address printed without a mask (dest-and-mask under a classful header).
  const std::string header = B(5) + "172.16.0.0/24 is subnetted, 2 subnets";
  const std::string before =
      Crlf({header, "C" + B(7) + "172.16.1.0 is directly connected, E0",
            "O" + B(7) + "172.16.2.0 [110/2] via 172.16.1.2, 00:00:01, E0", kS});
  const std::string after = Crlf({header, "C" + B(7) + "172.16.1.0 is directly connected, E0"});
  SortOptions destinationOnly;
  destinationOnly.infoDel = {false, false, false, false, false, true};
  CompareRun only(before, after, false, destinationOnly);
  EXPECT_EQ(only.result,
            Expected({"減< O" + B(7) + "172.16.2.0", "", "減< S" + B(7) + "192.168.5.0", ""},
                     " 2 の違いがあります"));
  SortOptions destinationAndMask;
  destinationAndMask.infoDel = {false, false, false, false, true, false};
  CompareRun mask(before, after, false, destinationAndMask);
  EXPECT_EQ(mask.result,
            Expected({"減< O" + B(7) + "172.16.2.0", "", "減< S" + B(7) + "192.168.5.0/24", ""},
                     " 2 の違いがあります"));
}

TEST(RouteCompare, SortResultsAreDeletedUnlessKept) {
  const std::string log = Crlf({kC});
  CompareRun deleted(log, log, false);
  EXPECT_FALSE(Exists(deleted.dir / "before.s1"));
  EXPECT_FALSE(Exists(deleted.dir / "after.s2"));
  CompareRun kept(log, log, true);
  EXPECT_EQ(ReadFile(kept.dir / "before.s1"), log);
  EXPECT_EQ(ReadFile(kept.dir / "after.s2"), log);
}

TEST(RouteCompare, RoutesPairOnlyWithinTheVrfOfTheSameName) {
  const std::string s2 = "S" + B(8) + "10.2.0.0/16 [1/0] via 10.1.1.2";
  const std::string c1 = "C" + B(8) + "10.1.1.0/24 is directly connected, Ethernet0/1";
  const std::string c7 = "C" + B(8) + "10.7.0.0/24 is directly connected, Ethernet0/3";
  // 10.2.0.0/16 moves from VRF red to VRF blue with the same text; 10.1.1.0/24 is in both VRFs
  // and stays; VRF green is new.
  const std::string before = Crlf({"R1#show ip route vrf *", "", "Routing Table: blue", c1, "",
                                   "Routing Table: red", c1, s2, "R1#"});
  const std::string after = Crlf({"R1#show ip route vrf *", "", "Routing Table: blue", c1, s2, "",
                                  "Routing Table: red", c1, "", "Routing Table: green", c7, "R1#"});
  CompareRun run(before, after);
  EXPECT_EQ(run.result,
            Expected({"増> " + s2, "", "減< " + s2, "", "増> " + c7, ""}, " 3 の違いがあります"));
  CompareRun same(after, after);
  EXPECT_EQ(same.blocks, 0);
}

TEST(RouteCompare, NothingToCompareIsRefusedBeforeAnythingIsWritten) {
  const std::string ipv6 = Crlf({"R1#show ipv6 route", "C   2001:DB8::/64 [0/0]",
                                 "     via Ethernet0/0, directly connected"});
  const std::string routes = kHead + Crlf({kC});
  const struct {
    std::string before, after, named;
  } cases[] = {
      {"", "", "before.log"},
      {routes, "", "after.log"},
      {ipv6, routes, "before.log"},
      {routes, "just some text\r\n", "after.log"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    WriteFile(dir / "before.log", c.before);
    WriteFile(dir / "after.log", c.after);
    RouteLineParser parser;
    SortPipeline pipeline(parser);
    CompareRequest r = RequestIn(dir);
    r.keepSortResults = true;
    try {
      RunCompare(pipeline, r);
      ADD_FAILURE() << "no refusal for " << c.named;
    } catch (const FileError& error) {
      EXPECT_EQ(error.path(), c.named);
      EXPECT_NE(std::string(error.what()).find("no route lines"), std::string::npos);
    }
    EXPECT_EQ(ListFolder(dir.path()), "after.log\nbefore.log\n") << c.named;
  }
  // The merge refuses as well, whoever sorted: a sort result without an entry.
  TempDir dir;
  {
    OutputFile result(dir / "after.dif");
    EXPECT_THROW(WriteDifferences(Crlf({"R1#", kC}),
                                  Crlf({"R1#", B(6) + "10.0.0.0/8 is subnetted, 1 subnets"}),
                                  RouteLineParser(), "before.log", "after.log", result),
                 FileError);
  }
  EXPECT_EQ(ReadFile(dir / "after.dif"), "");
}

}  // namespace
}  // namespace kestrelon::routes
