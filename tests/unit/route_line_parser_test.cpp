#include "routes/route_line_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrelon::routes {
namespace {

struct Expect {
  std::string line;
  std::int32_t destHigh, destLow, hopHigh, hopLow, codeKey;
  std::int16_t maskKey, lineState;
};

std::string Spaces(int n) {
  return std::string(static_cast<std::size_t>(n), ' ');
}

// Runs the lines through one parser in order, starting with a reset.
void ExpectSequence(const std::vector<Expect>& cases) {
  RouteLineParser parser;
  std::int16_t state = kLineStateReset;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Expect& e = cases[i];
    std::int32_t dh = -7, dl = -7, hh = -7, hl = -7, ck = -7;
    std::int16_t mk = -7;
    parser.ParseRouteLine(e.line, dh, dl, hh, hl, ck, mk, state);
    SCOPED_TRACE("line " + std::to_string(i + 1) + ": \"" + e.line + "\"");
    EXPECT_EQ(dh, e.destHigh);
    EXPECT_EQ(dl, e.destLow);
    EXPECT_EQ(hh, e.hopHigh);
    EXPECT_EQ(hl, e.hopLow);
    EXPECT_EQ(ck, e.codeKey);
    EXPECT_EQ(mk, e.maskKey);
    EXPECT_EQ(state, e.lineState);
  }
}

TEST(RouteLineParser, ReferenceTableInOneParser) {
  ExpectSequence({
      {"Gateway of last resort is 10.1.1.1 to network 0.0.0.0", 65535, 65535, 65535, 65535,
       268435455, -1, 1},
      {Spaces(5) + "172.16.0.0/24 is subnetted, 2 subnets", 44048, 0, 0, 0, 268435455, 23, 2},
      {"C" + Spaces(7) + "172.16.1.0 is directly connected, Ethernet0", 44048, 256, 0, 0, 141037600,
       23, 2},
      {"S*" + Spaces(3) + "0.0.0.0/0 [1/0] via 10.1.1.1", 0, 0, 2561, 257, 174755872, 0, 2},
      {"O E2" + Spaces(4) + "10.2.0.0 255.255.0.0 [110/20] via 10.1.1.2, 00:00:05, Ethernet0", 2562,
       0, 2561, 258, 166208178, 15, 2},
      {"D" + Spaces(7) + "10.3.0.0 0xFFFF0000 is a summary, 00:01:00, Null0", 2563, 0, 65535, 65535,
       143134752, 15, 2},
      {Spaces(20) + "[110/20] via 10.1.1.3, 00:00:05, Ethernet1", 65535, 65535, 65535, 65535,
       268435455, 15, 3},
      {"", 65535, 65535, 65535, 65535, 268435455, 15, 3},
  });
}

TEST(RouteLineParser, FlaggedRoutesReadLikeOthers) {
  const std::int32_t codeC = 'C' * (1 << 21) + ' ' * (1 << 14) + ' ' * 128 + ' ';
  const std::int32_t codeB = 'B' * (1 << 21) + ' ' * (1 << 14) + ' ' * 128 + ' ';
  ExpectSequence({
      {Spaces(6) + "10.34.0.0/32 is subnetted, 2 subnets", 2594, 0, 0, 0, kNoCode, 31, 2},
      {"S   %    10.34.0.1 [1/0] via 192.168.16.1", 2594, 1, 49320, 4097,
       'S' * (1 << 21) + ' ' * (1 << 14) + ' ' * 128 + ' ', 31, 2},
      {"C   p    10.34.0.2 is directly connected, Loopback0", 2594, 2, 0, 0, codeC, 31, 2},
      {"B   +    10.55.0.0/24 [20/0] via 10.144.0.1, 00:00:09", 2615, 0, 2704, 1, codeB, 23, 2},
  });
}

// Each case: a line parsed after a reset, then the mask key and next hop it reports.
struct MaskCase {
  const char* name;
  std::string line;
  bool route;
  std::int16_t maskKey;
};

class MaskForms : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskForms, GiveTheMaskKey) {
  const MaskCase& c = GetParam();
  RouteLineParser parser;
  std::int16_t state = kLineStateReset;
  // A first line with a /20 mask, so "no mask" shows as the carried 19.
  parser.Parse("C       10.0.0.0/20 is directly connected, Ethernet0", state);
  const ParsedLine out = parser.Parse(c.line, state);
  EXPECT_EQ(state, c.route ? 2 : 3);
  EXPECT_EQ(out.MaskKey, c.maskKey);
}

const std::string kO = "O       ";
INSTANTIATE_TEST_SUITE_P(
    Parser, MaskForms,
    ::testing::Values(MaskCase{"prefix32", kO + "10.1.1.1/32 [110/2] via 10.0.0.1, Eth0", true, 31},
                      MaskCase{"prefix1", kO + "10.1.1.1/1 [110/2] via 10.0.0.1", true, 0},
                      MaskCase{"prefix0", kO + "0.0.0.0/0 [110/2] via 10.0.0.1", true, 0},
                      MaskCase{"prefix33", kO + "10.1.1.1/33 [110/2] via 10.0.0.1", true, 19},
                      MaskCase{"prefixThreeDigits", kO + "10.1.1.1/024 [110/2]", true, 19},
                      MaskCase{"prefixAtEnd", kO + "10.1.1.1/24", true, 19},
                      MaskCase{"prefixNoDigit", kO + "10.1.1.1/ [110/2]", true, 19},
                      MaskCase{"hex", kO + "10.0.0.0 0xFFFFFF00 [1/0]", true, 23},
                      MaskCase{"hexLower", kO + "10.0.0.0 0xffffe000 [1/0]", true, 18},
                      MaskCase{"hexUpperX", kO + "10.0.0.0 0XFFFFFF00 [1/0]", true, 19},
                      MaskCase{"hexStopsAtFirstNonF", kO + "10.0.0.0 0xFFFF00FF [1/0]", true, 15},
                      MaskCase{"hexNoBlankAfter", kO + "10.0.0.0 0xFFFFFF00[1/0]", true, 19},
                      MaskCase{"hexBadDigit", kO + "10.0.0.0 0xFFFFF700 [1/0]", true, 19},
                      MaskCase{"hexAllF", kO + "10.0.0.0 0xFFFFFFFF [1/0]", true, 31},
                      MaskCase{"dotted24", kO + "10.0.0.0 255.255.255.0 [1/0]", true, 23},
                      MaskCase{"dotted25", kO + "10.0.0.0 255.255.255.128 [1/0]", true, 24},
                      MaskCase{"dotted12", kO + "10.0.0.0 128.0.0.0 [1/0]", true, 0},
                      MaskCase{"dotted19", kO + "10.0.0.0 192.0.0.0 [1/0]", true, 1},
                      MaskCase{"dottedZero", kO + "0.0.0.0 0.0.0.0 [1/0]", true, 0},
                      MaskCase{"dottedNonContiguous", kO + "10.0.0.0 255.0.255.0 [1/0]", true, 15},
                      MaskCase{"dottedAtEnd", kO + "10.0.0.0 255.255.255.0", true, 19},
                      MaskCase{"dottedBadToken", kO + "10.0.0.0 255.255.255.1 [1/0]", true, 19},
                      MaskCase{"noMaskWord", kO + "10.0.0.0 [110/2] via 10.0.0.1", true, 19},
                      MaskCase{"octet256", kO + "10.0.0.256/24 [1/0]", false, 19},
                      MaskCase{"octetFourDigits", kO + "10.0.0.1000/24 [1/0]", false, 19},
                      MaskCase{"badTerminator", kO + "10.0.0.1,24 [1/0]", false, 19},
                      MaskCase{"leadingZeros", kO + "010.001.0.0/16 [1/0]", true, 15}),
    [](const ::testing::TestParamInfo<MaskCase>& caseInfo) {
      return std::string(caseInfo.param.name);
    });

struct HopCase {
  const char* name;
  std::string line;
  std::int32_t hopHigh, hopLow;
};

class NextHops : public ::testing::TestWithParam<HopCase> {};

TEST_P(NextHops, AreRead) {
  const HopCase& c = GetParam();
  RouteLineParser parser;
  std::int16_t state = kLineStateReset;
  const ParsedLine out = parser.Parse(c.line, state);
  EXPECT_EQ(state, 2);
  EXPECT_EQ(out.HopHigh, c.hopHigh);
  EXPECT_EQ(out.HopLow, c.hopLow);
}

INSTANTIATE_TEST_SUITE_P(
    Parser, NextHops,
    ::testing::Values(
        HopCase{"viaComma", kO + "10.1.0.0/16 [110/2] via 192.168.1.2, 00:01:00, Eth0", 49320, 258},
        HopCase{"viaEndOfLine", kO + "10.1.0.0/16 [110/2] via 192.168.1.2", 49320, 258},
        HopCase{"viaBlank", kO + "10.1.0.0/16 [110/2] via 192.168.1.2 Eth0", 65535, 65535},
        HopCase{"viaBracket", kO + "10.1.0.0/16 [110/2] via 192.168.1.2[x]", 65535, 65535},
        HopCase{"viaInvalid", kO + "10.1.0.0/16 [110/2] via 192.168.1.300,", 65535, 65535},
        HopCase{"subnettedWinsOverVia", kO + "10.1.0.0/16 subnetted, via 1.2.3.4", 0, 0},
        HopCase{"connected", "C       10.1.0.0/16 is directly connected, Eth0", 0, 0},
        HopCase{"none", "S       10.1.0.0/16 is a summary, Null0", 65535, 65535},
        HopCase{"modernLayout", "O        10.8.13.0/24 [110/110] via 10.8.1.2, 1d02h, Gi0/1", 2568,
                258}),
    [](const ::testing::TestParamInfo<HopCase>& caseInfo) {
      return std::string(caseInfo.param.name);
    });

constexpr std::int32_t kCodeS = 'S' * (1 << 21) + ' ' * (1 << 14) + ' ' * 128 + ' ';

struct KindCase {
  const char* name;
  std::string line;
  bool route;
  std::int32_t codeKey;
};

class LineKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(LineKinds, AreTold) {
  const KindCase& c = GetParam();
  RouteLineParser parser;
  std::int16_t state = kLineStateReset;
  const ParsedLine out = parser.Parse(c.line, state);
  EXPECT_EQ(state, c.route ? 2 : 1);
  EXPECT_EQ(out.CodeKey, c.codeKey);
  if (!c.route) {
    EXPECT_EQ(out.DestHigh, 65535);
    EXPECT_EQ(out.HopLow, 65535);
    EXPECT_EQ(out.MaskKey, -1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Parser, LineKinds,
    ::testing::Values(
        KindCase{"prompt", "Router#show ip route", false, kNoCode},
        KindCase{"legend", "Codes: C - connected, S - static", false, kNoCode},
        KindCase{"legendContinuation", "       D - EIGRP, EX - EIGRP external", false, kNoCode},
        KindCase{"blanksAndStars", "   * *   ", false, kNoCode},
        KindCase{"twentyBlanksThenAddress", Spaces(20) + "10.1.1.0/24 [1/0] via 1.1.1.1", false,
                 kNoCode},
        KindCase{"twentyOneBlanksThenAddress", Spaces(21) + "10.1.1.0/24 [1/0] via 1.1.1.1", true,
                 kNoCode},
        KindCase{"codeLineBadAddress", "O       10.1.1/24 [1/0]", false, kNoCode},
        KindCase{"codeLine", "C       10.1.1.0/24 is directly connected, E0", true, 141037600},
        KindCase{"nulInCode", std::string("C\0  x 10.1.1.0/24", 17), false, kNoCode},
        KindCase{"fifthNotBlank", "C    10.1.1.0/24 is directly connected", true, 141037600},
        KindCase{"shortLine", "C ", false, kNoCode},
        // Column 5 may hold a flag of today's IOS; the code stays that of columns 1 to 4.
        KindCase{"flagPercent", "S   %    10.34.0.1 [1/0] via 192.168.16.1", true, kCodeS},
        KindCase{"flagPlus", "S   +    10.186.1.0 [1/0] via 10.144.0.1 (red)", true, kCodeS},
        KindCase{"flagAmpersand", "S   &    10.69.0.0 [1/0] via 10.34.0.1", true, kCodeS},
        KindCase{"flagP", "S   p    10.34.0.2 is directly connected, Loopback0", true, kCodeS},
        KindCase{"flagBeforeAddress", "S   %10.34.0.1 [1/0] via 192.168.16.1", true, kCodeS},
        KindCase{"flagWithStarCode", "S*  +    0.0.0.0/0 [1/0] via 10.0.0.1", true, 174755872},
        KindCase{"otherFifth", "S   x    10.34.0.1 [1/0] via 192.168.16.1", false, kNoCode},
        KindCase{"upperCaseP", "S   P    10.34.0.1 [1/0] via 192.168.16.1", false, kNoCode},
        KindCase{"starFifth", "S   *    10.34.0.1 [1/0] via 192.168.16.1", false, kNoCode},
        KindCase{"twoFlags", "S   %%   10.34.0.1 [1/0] via 192.168.16.1", false, kNoCode},
        KindCase{"flagWithoutCode", "    %    10.34.0.1 [1/0] via 192.168.16.1", false, kNoCode},
        KindCase{"errorMessage", "% Network not in table", false, kNoCode},
        KindCase{"legendOfFlags", "       + - replicated route, % - next hop override", false,
                 kNoCode}),
    [](const ::testing::TestParamInfo<KindCase>& caseInfo) {
      return std::string(caseInfo.param.name);
    });

TEST(RouteLineParser, NonAsciiCodeUsesLowSevenBitsOfCodePoint) {
  RouteLineParser parser;
  std::int16_t state = kLineStateReset;
  // U+00C9 (É) is one character: low seven bits 0x49.
  const ParsedLine utf8 = parser.Parse("\xC3\x89    10.0.0.0/8 [1/0] via 1.1.1.1", state);
  EXPECT_EQ(state, 2);
  EXPECT_EQ(utf8.CodeKey, 0x49 * (1 << 21) + 32 * (1 << 14) + 32 * 128 + 32);
  // An invalid byte is one character of its own; its low seven bits count.
  const ParsedLine invalid = parser.Parse("\xFF    10.0.0.0/8 [1/0] via 1.1.1.1", state);
  EXPECT_EQ(invalid.CodeKey, 0x7F * (1 << 21) + 32 * (1 << 14) + 32 * 128 + 32);
  // A multi-byte character in column 2 makes the fifth character a different byte.
  const ParsedLine wide = parser.Parse("O\xE3\x80\x80  10.0.0.0/8 [1/0]", state);
  EXPECT_EQ(wide.CodeKey, kNoCode);
}

TEST(RouteLineParser, ResetClearsCarriedMaskAndStateBitsFollowTheFile) {
  RouteLineParser parser;
  std::int16_t state = kLineStateReset;
  parser.Parse("S       10.0.0.0/8 [1/0] via 1.1.1.1", state);
  EXPECT_EQ(parser.CarriedMaskLen(), 8);
  std::int16_t other = 1;  // a caller that does not reset keeps the carried value
  EXPECT_EQ(parser.Parse("S       10.0.0.0 [1/0] via 1.1.1.1", other).MaskKey, 7);
  state = kLineStateReset;
  EXPECT_EQ(parser.Parse("S       10.0.0.0 [1/0] via 1.1.1.1", state).MaskKey, 0);
  EXPECT_EQ(parser.Parse("junk", state).MaskKey, -1);
  EXPECT_EQ(state, 3);
}

TEST(RouteLineParser, SurvivesHostileInput) {
  RouteLineParser parser;
  std::int16_t state = kLineStateReset;
  std::string all;
  for (int b = 0; b < 256; ++b) {
    all.push_back(static_cast<char>(b));
  }
  const std::vector<std::string> lines = {
      std::string(100000, ' ') + "1",
      "O " + std::string(100000, '*'),
      "O   " + std::string(3, '\0'),
      all,
      "O       1.1.1.1 0x",
      "O       1.1.1.1 0",
      "O       1.1.1.1 255.255.255.25",
      "O       1.1.1.1 via 1.1.1.",
      "\xF0\x9F\x98",
  };
  for (const std::string& line : lines) {
    const ParsedLine out = parser.Parse(line, state);
    EXPECT_GE(out.MaskKey, -1);
    EXPECT_LE(out.MaskKey, 31);
    EXPECT_TRUE(state >= 1 && state <= 3);
  }
}

}  // namespace
}  // namespace kestrelon::routes
