#include "routes/staging.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_files.h"

namespace kestrelon::routes {
namespace {

using Lines = std::vector<std::string>;
using testing::B;
using testing::JoinLines;

const std::string kO = "O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02, Ethernet0";
const std::string kD = "D" + B(7) + "192.168.100.0/24 ";

TEST(Staging, RepairsWhatTheCaptureBroke) {
  const struct {
    std::string input;
    Lines staged;
  } cases[] = {
      // An extra path gets the destination part of the line above and the marker.
      {JoinLines({kO, B(20) + "[110/20] via 10.3.3.3, 00:01:02, Ethernet1"}),
       {kO, "O" + B(7) + "10.1.1.0/24 [110/20] via 10.3.3.3, 00:01:02, Ethernet1 *"}},
      // A wrapped entry is joined, and its extra paths take the joined line's start.
      {JoinLines(
           {kD, B(11) + "[90/2] via 10.1.1.2, Serial0", B(11) + "[90/2] via 10.1.1.3, Serial1"}),
       {kD + "[90/2] via 10.1.1.2, Serial0", kD + "[90/2] via 10.1.1.3, Serial1 *"}},
      // A "[" two positions from the line above's lines up; three do not, nor text before it.
      {JoinLines({kO, B(22) + "[110/20] via 10.4.4.4, E2"}),
       {kO, "O" + B(7) + "10.1.1.0/24 [110/20] via 10.4.4.4, E2 *"}},
      {JoinLines({kO, B(23) + "[110/20] via 10.3.3.3"}), {kO, B(23) + "[110/20] via 10.3.3.3"}},
      {JoinLines({kO, B(18) + "x [110/20] via 10.3.3.3"}), {kO, B(18) + "x [110/20] via 10.3.3.3"}},
      // No join without a "[" next, nor at the end, nor a second time.
      {JoinLines({kD, "R1#"}), {kD, "R1#"}},
      {JoinLines({kD}), {kD}},
      {JoinLines({kD, B(5) + "[90/5] via 10.1.1.2 ", B(5) + "[90/6] via 10.1.1.3"}),
       {kD + "[90/5] via 10.1.1.2 ", kD + "[90/6] via 10.1.1.3 *"}},
      // The wrapped tail ends at a line that is not indented.
      {JoinLines({kD, B(11) + "[90/1] via 10.1.1.2", "R1#", B(11) + "[90/1] via 10.1.1.3"}),
       {kD + "[90/1] via 10.1.1.2", "R1#", B(11) + "[90/1] via 10.1.1.3"}},
      // Every kind of line end; no empty line after the last one.
      {"R1#\r\n\nC       10.1.1.0/24\rR1#", {"R1#", "", "C       10.1.1.0/24", "R1#"}},
      {"R1#\rx\r", {"R1#", "x"}},
      {"\r\n", {""}},
      {"", {}},
      {"abc\bd\r\n", {"abd"}},
  };
  for (const auto& c : cases) {
    files::VectorLineSink sink;
    EXPECT_EQ(StageLines(c.input, sink), static_cast<std::int64_t>(c.staged.size()));
    EXPECT_EQ(sink.lines, c.staged) << ::testing::PrintToString(c.input);
  }
}

TEST(Staging, BackspaceRemovesTheCharacterBefore) {
  const std::pair<std::string, std::string> cases[] = {
      {"abc\bd", "abd"},
      {"abc\b\b", "a"},
      {"\bab", "ab"},
      {"ab\b\b\bc", "c"},
      {"a\xC3\xA9\bz", "az"},              // the whole character
      {"a\xFF\bz", "az"},                  // an invalid byte is one character
      {"a\xED\xA0\x80\bz", "a\xED\xA0z"},  // an encoded surrogate is three invalid bytes
      {"a\xF0\x9F\x98\x80\bz", "az"},
  };
  for (const auto& [line, applied] : cases) {
    EXPECT_EQ(ApplyBackspaces(line), applied) << ::testing::PrintToString(line);
  }
}

TEST(Staging, MarksItsOwnExpansionsAndTheTableHeadings) {
  const std::string input = JoinLines({
      "R1#show ip route vrf *",  // ends in the marker's text, but staging made nothing here
      "Routing Table: red",
      kO,
      B(20) + "[110/20] via 10.3.3.3, 00:01:02, Ethernet1",
      " Routing Table: not at the start of the line",
      "Routing Table: blue",
  });
  files::VectorLineSink sink;
  StagingMarks marks;
  EXPECT_EQ(StageLines(input, sink, &marks), 6);
  EXPECT_EQ(marks.expanded, (std::vector<std::int64_t>{3}));
  EXPECT_EQ(marks.tables, (std::vector<std::int64_t>{1, 5}));
}

}  // namespace
}  // namespace kestrelon::routes
