#include "routes/entry_stream.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "files/line_cursor.h"
#include "routes/route_compare.h"
#include "test_files.h"

namespace kestrelon::routes {
namespace {

using testing::B;
using testing::JoinLines;

struct Found {
  std::int32_t destHigh, destLow;
  std::vector<std::string> lines;
  bool operator==(const Found&) const = default;
};

class Collect : public EntrySink {
 public:
  void Take(std::int32_t destHigh, std::int32_t destLow, std::int16_t count,
            std::string_view text) override {
    Found found{destHigh, destLow, {}};
    files::LineCursor cursor(text);
    for (int i = 0; i < count; ++i) {
      found.lines.emplace_back(cursor.Next());
    }
    EXPECT_TRUE(cursor.AtEnd());
    entries.push_back(found);
  }
  std::vector<Found> entries;
};

// The entries as the merge reads them from the finished file.
std::vector<Found> ReadFromFile(const std::string& text, const RouteLineParser& parser) {
  EntryReader reader(text, parser);
  std::vector<Found> entries;
  for (Entry entry; ReadEntry(reader, entry), entry.count > 0;) {
    Found found{entry.destHigh, entry.destLow, {}};
    for (int i = 0; i < entry.count; ++i) {
      found.lines.emplace_back(entry.lines[static_cast<std::size_t>(i)]);
    }
    entries.push_back(found);
  }
  return entries;
}

// The entries as the stream finds them while the file's lines are written.
std::vector<Found> FindWhileWritten(const std::string& text, const RouteLineParser& parser) {
  Collect collect;
  EntryStream stream(parser, collect);
  for (files::LineCursor cursor(text); !cursor.AtEnd();) {
    stream.Put(cursor.Next());
  }
  stream.Finish();
  return collect.entries;
}

// A parser whose carried mask length is mask, as the sort of the second side may leave it.
RouteLineParser Carrying(int mask) {
  RouteLineParser parser;
  std::int16_t state = kLineStateReset;
  parser.ParseDestination("C    0.0.0.0/" + std::to_string(mask) + " ", state);
  return parser;
}

// Sorted lines of the shapes the entry rule looks at: routes with and without a mask of their
// own (/0 and /1 among them, which the mask key does not tell apart), paths aligned or not
// under their route, indented lines that carry a mask, headers, lines of another kind, and
// routes whose mask is read on past the "[" (the line rebuilt from a path under them has a
// mask of its own, so whether the path belongs to them depends on the carried mask length), and
// a route whose code holds a "[" (a path rebuilt under it is no route).
const std::vector<std::string> kShapes = {
    "O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2",
    "O" + B(7) + "10.1.1.0 [110/20] via 10.2.2.2",
    "O" + B(7) + "10.1.1.0/25 [110/20] via 10.2.2.2",
    "S*" + B(6) + "0.0.0.0/0 [1/0] via 10.0.0.1",
    "S" + B(7) + "0.0.0.0/1 [1/0] via 10.0.0.1",
    "S" + B(7) + "0.0.0.0 [1/0] via 10.0.0.2",
    "B" + B(8) + "10.1.1.0/24 [20/0] via 192.0.2.1",
    B(20) + "[110/20] via 10.3.3.3",
    B(21) + "[110/20] via 10.4.4.4",
    B(24) + "[110/20] via 10.5.5.5",
    B(17) + "[1/0] via 10.0.0.9",
    B(20) + "x [110/20] via 10.3.3.3",
    B(6) + "10.0.0.0/8 is variably subnetted, 3 subnets, 2 masks",
    B(6) + "10.0.0.0/24 is subnetted, 2 subnets",
    B(4) + "10.1.1.0 [110/20] via 10.6.6.6",
    B(4) + "0.0.0.0/0 [110/20] via 10.6.6.6",
    B(20) + "[110/20]0.0.0.0/16 via 10.7.7.7",
    "C" + B(7) + "1.2.3.0 0x0[zzzzzzzz",
    B(19) + "[123456 x",
    "R    0.2.0.0 0xF0[",
    B(15) + "[ [ 9  ",
    "O [" + B(5) + "10.1.1.0/24 [110/20] via 10.2.2.2",  // a "[" among the code columns
    B(4) + "[110/20] via 10.3.3.3",
    "",
    "R1#",
    "Gateway of last resort is 10.0.0.1 to network 0.0.0.0",
};

TEST(EntryStream, AgreesWithTheReaderOnAnyMixOfShapes) {
  // Eight lines at most: the paths under the route belong to its entry.
  std::vector<std::string> tenLines(10, kShapes[7]);
  tenLines.front() = tenLines.back() = kShapes[0];
  const std::vector<Found> found = FindWhileWritten(JoinLines(tenLines), RouteLineParser());
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].lines.size(), 8u);
  EXPECT_EQ(found, ReadFromFile(JoinLines(tenLines), RouteLineParser()));
  std::mt19937 random(19);
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::string> lines(1 + random() % 40);
    for (std::string& line : lines) {
      line = kShapes[random() % kShapes.size()];
    }
    const int carried = static_cast<int>(random() % 34);
    const std::string text = JoinLines(lines);
    ASSERT_EQ(FindWhileWritten(text, Carrying(carried)), ReadFromFile(text, Carrying(carried)))
        << text;
  }
}

}  // namespace
}  // namespace kestrelon::routes
