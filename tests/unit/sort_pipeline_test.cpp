#include "routes/sort_pipeline.h"

#include <gtest/gtest.h>

#include <string>

#include "files/file_error.h"
#include "test_files.h"

namespace kestrelon::routes {
namespace {

using kestrelon::testing::ListFolder;
using kestrelon::testing::ReadFile;
using kestrelon::testing::ScopedTmpdir;
using kestrelon::testing::TempDir;
using kestrelon::testing::WriteFile;

const std::string kLog =
    "R1#show ip route\n"
    "S       10.0.0.0/8 [1/0] via 192.168.0.9\n"
    "O       9.0.0.0/16 [110/2] via 192.168.0.10, 00:00:01, E0\n"
    "R1#";
const std::string kSorted =
    "R1#show ip route\r\n"
    "O       9.0.0.0/16 [110/2] via 192.168.0.10, 00:00:01, E0\r\n"
    "S       10.0.0.0/8 [1/0] via 192.168.0.9\r\n"
    "R1#\r\n";

// The staging file is a private temporary file: a file of the user's named as the staging file
// once was stays as it is, and nothing is left in the temporary folder.
TEST(SortPipeline, WritesTheResultAndStagesPrivately) {
  TempDir dir;
  TempDir tmp;
  const ScopedTmpdir tmpdir(tmp.path());
  WriteFile(dir / "r1.log", kLog);
  WriteFile(dir / "r1.(1)", "the user's\r\n");
  RouteLineParser parser;
  SortPipeline pipeline(parser);
  pipeline.RunSort(1, dir / "r1.log", dir / "r1.srt", SortOptions{});
  EXPECT_EQ(ReadFile(dir / "r1.srt"), kSorted);
  EXPECT_EQ(pipeline.lngLineCount(1), 4);
  EXPECT_EQ(ListFolder(dir.path()), "r1.(1)\nr1.log\nr1.srt\n");
  EXPECT_EQ(ReadFile(dir / "r1.log"), kLog);
  EXPECT_EQ(ReadFile(dir / "r1.(1)"), "the user's\r\n");
  EXPECT_EQ(ListFolder(tmp.path()), "");
}

std::string SortText(const std::string& text, const SortOptions& options = SortOptions{}) {
  TempDir dir;
  WriteFile(dir / "r1.log", text);
  RouteLineParser parser;
  SortPipeline pipeline(parser);
  pipeline.RunSort(1, dir / "r1.log", dir / "r1.srt", options);
  return ReadFile(dir / "r1.srt");
}

TEST(SortPipeline, EachRoutingTableIsSortedOnItsOwnInFileOrder) {
  const std::string head = "R1#show ip route vrf *\r\n\r\n";
  const std::string blue =
      "Routing Table: blue\r\n"
      "Gateway of last resort is not set\r\n"
      "S        10.9.9.0/24 [1/0] via 10.1.1.2\r\n"
      "C        10.1.1.0/24 is directly connected, Ethernet0/1\r\n"
      "\r\n";
  const std::string red =
      "Routing Table: red\r\n"
      "Gateway of last resort is not set\r\n"
      "C        10.1.1.0/24 is directly connected, Ethernet0/2\r\n"
      "O        10.0.5.0/24 [110/20] via 10.1.1.8, 00:01:02, Ethernet0/2\r\n"
      "                     [110/20] via 10.1.1.9, 00:01:02, Ethernet0/3\r\n"
      "R1#\r\n";
  const std::string sortedBlue =
      "Routing Table: blue\r\n"
      "Gateway of last resort is not set\r\n"
      "C        10.1.1.0/24 is directly connected, Ethernet0/1\r\n"
      "S        10.9.9.0/24 [1/0] via 10.1.1.2\r\n"
      "\r\n";
  const std::string sortedRed =
      "Routing Table: red\r\n"
      "Gateway of last resort is not set\r\n"
      "O        10.0.5.0/24 [110/20] via 10.1.1.8, 00:01:02, Ethernet0/2\r\n"
      "                     [110/20] via 10.1.1.9, 00:01:02, Ethernet0/3\r\n"
      "C        10.1.1.0/24 is directly connected, Ethernet0/2\r\n"
      "R1#\r\n";
  EXPECT_EQ(SortText(head + blue + red), head + sortedBlue + sortedRed);
  // With one heading the capture is one table, as ever: the routes of both parts mix.
  const std::string global = "C        10.5.0.0/24 is directly connected, Ethernet0/0\r\n";
  EXPECT_EQ(SortText(global + red),
            "O        10.0.5.0/24 [110/20] via 10.1.1.8, 00:01:02, Ethernet0/2\r\n"
            "                     [110/20] via 10.1.1.9, 00:01:02, Ethernet0/3\r\n"
            "C        10.1.1.0/24 is directly connected, Ethernet0/2\r\n" +
                global +
                "Routing Table: red\r\n"
                "Gateway of last resort is not set\r\n"
                "R1#\r\n");
}

TEST(SortPipeline, ByteOrderMarksAreNoPartOfTheText) {
  const std::string log = "C       10.1.1.0/24 is directly connected, E0\r\nR1#";
  const std::string sorted = "C       10.1.1.0/24 is directly connected, E0\r\nR1#\r\n";
  EXPECT_EQ(SortText("\xEF\xBB\xBF" + log), sorted);
  std::string le = "\xFF\xFE", be = "\xFE\xFF";
  for (const char c : log) {
    le += std::string{c, '\0'};
    be += std::string{'\0', c};
  }
  EXPECT_EQ(SortText(le), sorted);
  EXPECT_EQ(SortText(be), sorted);
  // A mark anywhere else is text like any other.
  EXPECT_EQ(SortText("R1#\r\n\xEF\xBB\xBF" + log), "R1#\r\n\xEF\xBB\xBF" + sorted);
}

TEST(SortPipeline, AResultNamedLikeItsInputReplacesTheInput) {
  TempDir dir;
  WriteFile(dir / "r1", kLog);
  RouteLineParser parser;
  SortPipeline pipeline(parser);
  pipeline.RunSort(2, dir / "r1", dir / "r1", SortOptions{});
  EXPECT_EQ(ReadFile(dir / "r1"), kSorted);
  EXPECT_EQ(ListFolder(dir.path()), "r1\n");
}

TEST(SortPipeline, EmptyInputGivesEmptyResult) {
  TempDir dir;
  WriteFile(dir / "e.log", "");
  RouteLineParser parser;
  SortPipeline pipeline(parser);
  pipeline.RunSort(1, dir / "e.log", dir / "e.srt", SortOptions{});
  EXPECT_EQ(ReadFile(dir / "e.srt"), "");
  EXPECT_EQ(pipeline.lngLineCount(1), 0);
}

TEST(SortPipeline, FailureNamesTheFileAndLeavesAnEarlierResult) {
  TempDir dir;
  WriteFile(dir / "r1.srt", "earlier\r\n");
  RouteLineParser parser;
  SortPipeline pipeline(parser);
  try {
    pipeline.RunSort(1, dir / "missing.log", dir / "r1.srt", SortOptions{});
    FAIL() << "no error";
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), dir / "missing.log");
    EXPECT_NE(std::string(error.what()).find("No such file"), std::string::npos) << error.what();
  }
  WriteFile(dir / "r1.log", kLog);
  EXPECT_THROW(pipeline.RunSort(1, dir / "r1.log", dir / "no/such/r1.srt", SortOptions{}),
               FileError);
  EXPECT_EQ(ReadFile(dir / "r1.srt"), "earlier\r\n");
  EXPECT_EQ(ListFolder(dir.path()), "r1.log\nr1.srt\n");
}

}  // namespace
}  // namespace kestrelon::routes
