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
