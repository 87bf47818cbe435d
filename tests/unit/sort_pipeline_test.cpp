#include "routes/sort_pipeline.h"

#include <gtest/gtest.h>

#include <string>

#include "test_files.h"

namespace kestrelon::routes {
namespace {

using namespace kestrelon::testing;

// The sorted capture, written by a pipeline that stages into a private folder in tmp: a file of
// the user's named as the staging file once was stays, and nothing is left in tmp.
std::string Sort(const std::string& capture) {
  TempDir dir, tmp;
  const ScopedTmpdir tmpdir(tmp.path());
  WriteFile(dir / "r1.log", capture);
  WriteFile(dir / "r1.(1)", "the user's\r\n");
  RouteLineParser parser;
  SortPipeline pipeline(parser);
  pipeline.RunSort(1, dir / "r1.log", dir / "r1.srt", SortOptions{});
  EXPECT_EQ(ListFolder(dir.path()) + ListFolder(tmp.path()), "r1.(1)\nr1.log\nr1.srt\n");
  EXPECT_EQ(ReadFile(dir / "r1.(1)"), "the user's\r\n");
  EXPECT_EQ(ReadFile(dir / "r1.log"), capture);
  return ReadFile(dir / "r1.srt");
}

TEST(SortPipeline, EachRoutingTableIsSortedOnItsOwnInFileOrder) {
  const std::string head = "R1#show ip route vrf *\r\n\r\n";
  const std::string blue =
      "Routing Table: blue\r\n"
      "S        10.9.9.0/24 [1/0] via 10.1.1.2\r\n"
      "C        10.1.1.0/24 is directly connected, Ethernet0/1\r\n"
      "\r\n";
  const std::string red =
      "Routing Table: red\r\n"
      "C        10.1.1.0/24 is directly connected, Ethernet0/2\r\n"
      "O        10.0.5.0/24 [110/20] via 10.1.1.8, 00:01:02, Ethernet0/2\r\n"
      "                     [110/20] via 10.1.1.9, 00:01:02, Ethernet0/3\r\n"
      "R1#";
  const std::string sortedBlue =
      "Routing Table: blue\r\n"
      "C        10.1.1.0/24 is directly connected, Ethernet0/1\r\n"
      "S        10.9.9.0/24 [1/0] via 10.1.1.2\r\n"
      "\r\n";
  const std::string sortedRed =
      "Routing Table: red\r\n"
      "O        10.0.5.0/24 [110/20] via 10.1.1.8, 00:01:02, Ethernet0/2\r\n"
      "                     [110/20] via 10.1.1.9, 00:01:02, Ethernet0/3\r\n"
      "C        10.1.1.0/24 is directly connected, Ethernet0/2\r\n"
      "R1#\r\n";
  EXPECT_EQ(Sort(head + blue + red), head + sortedBlue + sortedRed);
  // With one heading the capture is one table, as ever: the routes of both parts mix.
  const std::string global = "C        10.5.0.0/24 is directly connected, Ethernet0/0\r\n";
  EXPECT_EQ(Sort(global + red),
            "O        10.0.5.0/24 [110/20] via 10.1.1.8, 00:01:02, Ethernet0/2\r\n"
            "                     [110/20] via 10.1.1.9, 00:01:02, Ethernet0/3\r\n"
            "C        10.1.1.0/24 is directly connected, Ethernet0/2\r\n" +
                global + "Routing Table: red\r\nR1#\r\n");
}

}  // namespace
}  // namespace kestrelon::routes
