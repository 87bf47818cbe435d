#include "routes/sort_pipeline.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "files/capture_text.h"
#include "files/file_error.h"
#include "routes/sorted_output.h"
#include "routes/staging.h"
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

// The sort done in memory, every staged line kept and keyed in a pass of its own, as a reference
// for the pipeline, which keys while staging and reads unchanged lines from the input again.
std::string SortInMemory(const std::string& capture, const SortOptions& options) {
  files::VectorLineSink staged;
  StagingMarks marks;
  StageLines(files::CaptureText(capture).text(), staged, &marks);
  const bool severalTables = marks.tables.size() >= 2;
  const auto marked = [](const std::vector<std::int64_t>& lines, std::size_t i) {
    return std::find(lines.begin(), lines.end(), static_cast<std::int64_t>(i)) != lines.end();
  };
  RouteLineParser parser;
  std::int16_t state = kLineStateReset;
  std::vector<SortRecord> records;
  std::vector<std::size_t> starts = {0};
  for (std::size_t i = 0; i < staged.lines.size(); ++i) {
    if (severalTables && marked(marks.tables, i)) {
      state = kLineStateReset;
      if (i > 0) {
        starts.push_back(i);
      }
    }
    const ParsedLine p = parser.Parse(staged.lines[i], state);
    records.push_back(MakeSortRecord(options.KeyNumber(), p, state, i, marked(marks.expanded, i)));
  }
  starts.push_back(records.size());
  std::string out;
  for (std::size_t t = 0; t + 1 < starts.size(); ++t) {
    const std::span<SortRecord> table(records.data() + starts[t], starts[t + 1] - starts[t]);
    SortByKey(table);
    SortedLineWriter writer(options);
    for (const SortRecord& r : table) {
      out += std::string(writer.Process(staged.lines[r.lineNumber()], r.expanded())) + "\r\n";
    }
  }
  return out;
}

// Input lines of the kinds staging changes (wrapped entries, extra paths, backspaces) and of
// the kinds it leaves, routes without a mask of their own, and routing-table headings, so that
// a capture may be one table or several.
const std::vector<std::string> kInputShapes = {
    "O       10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02, Ethernet0",
    "                    [110/20] via 10.3.3.3, 00:01:02, Ethernet1",
    "D       192.168.100.0/24 ",
    "           [90/2172416] via 10.1.1.2, 00:00:30, Serial0",
    "           [90/2172416] via 10.1.1.3, 00:00:30, Serial1",
    "B        10.1.1.0 [20/0] via 192.0.2.1, 1w2d",
    "     10.0.0.0/16 is subnetted, 2 subnets",
    "S*      0.0.0.0/0 [1/0] via 10.0.0.1",
    "C       10.2.\b\b3.0/24 is directly connected, E0",
    "Routing Table: red",
    "Routing Table: blue",
    "R1#show ip route",
    "",
};

TEST(SortPipeline, SortsAsTheInMemoryReferenceDoes) {
  std::mt19937 random(5);
  const char* ends[] = {"\r\n", "\n", "\r"};
  for (int round = 0; round < 200; ++round) {
    std::string capture;
    const std::size_t lines = 1 + random() % 30;
    for (std::size_t i = 0; i < lines; ++i) {
      capture += kInputShapes[random() % kInputShapes.size()] + ends[random() % 3];
    }
    SortOptions options;
    options.followOptions = true;
    options.sortKey = {};
    options.sortKey[random() % 6] = true;
    options.infoDel = {false, random() % 2 == 0, random() % 2 == 0, random() % 2 == 0,
                       false, random() % 5 == 0};
    ASSERT_EQ(SortText(capture, options), SortInMemory(capture, options)) << capture;
  }
}

}  // namespace
}  // namespace kestrelon::routes
