#include "routes/staging.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrelon::routes {
namespace {

std::string B(int n) {
  return std::string(static_cast<std::size_t>(n), ' ');
}

std::vector<std::string> Stage(const std::string& input) {
  VectorLineSink sink;
  const std::int64_t count = StageLines(input, sink);
  EXPECT_EQ(count, static_cast<std::int64_t>(sink.lines.size()));
  return sink.lines;
}

std::string Lines(const std::vector<std::string>& lines, const char* end = "\r\n") {
  std::string text;
  for (const std::string& line : lines) {
    text += line + end;
  }
  return text;
}

TEST(Staging, MarksItsOwnExpansionsAndTheTableHeadings) {
  const std::string input = Lines({
      "R1#show ip route vrf *",  // ends in the marker's text, but staging made nothing here
      "Routing Table: red",
      "O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02, Ethernet0",
      B(20) + "[110/20] via 10.3.3.3, 00:01:02, Ethernet1",
      "S" + B(7) + "10.89.0.0/24 [1/0] via 10.0.0.9 *",
      " Routing Table: not at the start of the line",
      "Routing Table: blue",
  });
  VectorLineSink sink;
  StagingMarks marks;
  EXPECT_EQ(StageLines(input, sink, &marks), 7);
  EXPECT_EQ(marks.expanded, (std::vector<std::int64_t>{3}));
  EXPECT_EQ(marks.tables, (std::vector<std::int64_t>{1, 6}));
  EXPECT_EQ(sink.lines[3], "O" + B(7) + "10.1.1.0/24 [110/20] via 10.3.3.3, 00:01:02, Ethernet1 *");
}

TEST(Staging, WorkedExample) {
  const std::vector<std::string> input = {
      "O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02, Ethernet0",
      B(20) + "[110/20] via 10.3.3.3, 00:01:02, Ethernet1",
      "D" + B(7) + "192.168.100.0/24 ",
      B(11) + "[90/2172416] via 10.1.1.2, 00:00:30, Serial0",
      B(11) + "[90/2172416] via 10.1.1.3, 00:00:30, Serial1",
  };
  EXPECT_EQ(Stage(Lines(input)),
            (std::vector<std::string>{
                input[0],
                "O" + B(7) + "10.1.1.0/24 [110/20] via 10.3.3.3, 00:01:02, Ethernet1 *",
                "D" + B(7) + "192.168.100.0/24 [90/2172416] via 10.1.1.2, 00:00:30, Serial0",
                "D" + B(7) + "192.168.100.0/24 [90/2172416] via 10.1.1.3, 00:00:30, Serial1 *",
            }));
}

TEST(Staging, LineEndsOfEveryKindGiveTheSameLines) {
  const std::vector<std::string> lines = {"R1#show ip route", "",
                                          "C       10.1.1.0/24 is directly connected, E0", "R1#"};
  const std::vector<std::string> crlf = Stage(Lines(lines));
  EXPECT_EQ(crlf, lines);
  EXPECT_EQ(Stage(Lines(lines, "\n")), lines);
  EXPECT_EQ(Stage(Lines(lines, "\r")), lines);
  EXPECT_EQ(Stage("R1#show ip route\r\n\nC       10.1.1.0/24 is directly connected, E0\rR1#"),
            lines);
  EXPECT_TRUE(Stage("").empty());
  EXPECT_EQ(Stage("\r\n"), std::vector<std::string>{""});
}

struct BackspaceCase {
  std::string in, out;
};

TEST(Staging, Backspaces) {
  const BackspaceCase cases[] = {
      {"abc\bd", "abd"},  {"abc\b\b", "a"},       {"\bab", "ab"},
      {"\b\b", ""},       {"a\xC3\xA9\bz", "az"},  // the whole character before the backspace goes
      {"a\xFF\bz", "az"},                          // an invalid byte is one character
      {"ab\b\b\bc", "c"},
  };
  for (const BackspaceCase& c : cases) {
    EXPECT_EQ(ApplyBackspaces(c.in), c.out) << c.in;
  }
  EXPECT_EQ(Stage("abc\bd\r\n"), std::vector<std::string>{"abd"});
}

TEST(Staging, IndentedLinesThatDoNotLineUpStayAsTheyAre) {
  const std::string route = "O" + B(7) + "10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02, E0";
  // "[" three positions away from the line above: unchanged.
  const std::string far = B(23) + "[110/20] via 10.3.3.3, 00:01:02, E1";
  // a non-blank before the "[": unchanged.
  const std::string text = B(18) + "x [110/20] via 10.3.3.3";
  // a "[" two positions away: expanded.
  const std::string near = B(22) + "[110/20] via 10.4.4.4, E2";
  EXPECT_EQ(Stage(Lines({route, far})), (std::vector<std::string>{route, far}));
  EXPECT_EQ(Stage(Lines({route, text})), (std::vector<std::string>{route, text}));
  EXPECT_EQ(
      Stage(Lines({route, near})),
      (std::vector<std::string>{route, "O" + B(7) + "10.1.1.0/24 [110/20] via 10.4.4.4, E2 *"}));
}

TEST(Staging, JoinNeedsABracketAndHappensOncePerLine) {
  const std::string open = "D" + B(7) + "192.168.100.0/24 ";
  // The next line does not begin with "[": both are staged as they are.
  EXPECT_EQ(Stage(Lines({open, "R1#"})), (std::vector<std::string>{open, "R1#"}));
  // A blank-ended line at the very end of the input stays as it is.
  EXPECT_EQ(Stage(Lines({open})), std::vector<std::string>{open});
  // The joined line ends with a blank itself: not joined a second time.
  const std::string joined = open + "[90/5] via 10.1.1.2 ";
  EXPECT_EQ(Stage(Lines({open, B(5) + "[90/5] via 10.1.1.2 ", B(5) + "[90/6] via 10.1.1.3"})),
            (std::vector<std::string>{
                joined,
                // still aligned with the wrap tail, so expanded from the joined line
                open + "[90/6] via 10.1.1.3 *"}));
}

TEST(Staging, WrapTailEndsWithALineThatIsNotIndented) {
  const std::vector<std::string> input = {
      "D" + B(7) + "192.168.100.0/24 ",
      B(11) + "[90/1] via 10.1.1.2, Serial0",
      "R1#",
      B(11) + "[90/1] via 10.1.1.3, Serial1",
  };
  EXPECT_EQ(Stage(Lines(input)),
            (std::vector<std::string>{"D" + B(7) + "192.168.100.0/24 [90/1] via 10.1.1.2, Serial0",
                                      "R1#", input[3]}));
}

TEST(Staging, HostileInputStaysBounded) {
  std::string binary;
  for (int i = 0; i < 5000; ++i) {
    binary.push_back(static_cast<char>((i * 37) % 256));
  }
  VectorLineSink sink;
  StageLines(binary, sink);
  for (const std::string& line : sink.lines) {
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
  }
  const std::string backspaces(1 << 20, '\b');
  EXPECT_EQ(Stage(backspaces), std::vector<std::string>{""});
}

}  // namespace
}  // namespace kestrelon::routes
