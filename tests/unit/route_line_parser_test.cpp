#include "routes/route_line_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_files.h"

namespace kestrelon::routes {
namespace {

using testing::B;

struct Expect {
  std::string line;
  std::int32_t destHigh, destLow, hopHigh, hopLow, codeKey;
  std::int16_t maskKey, lineState;
};

// The worked example, in one parser: the carried mask length flows from line to line.
TEST(RouteLineParser, WorkedExampleInOneParser) {
  const Expect lines[] = {
      {"Gateway of last resort is 10.1.1.1 to network 0.0.0.0", 65535, 65535, 65535, 65535, kNoCode,
       -1, 1},
      {B(5) + "172.16.0.0/24 is subnetted, 2 subnets", 44048, 0, 0, 0, kNoCode, 23, 2},
      {"C" + B(7) + "172.16.1.0 is directly connected, Ethernet0", 44048, 256, 0, 0, 141037600, 23,
       2},
      {"S*" + B(3) + "0.0.0.0/0 [1/0] via 10.1.1.1", 0, 0, 2561, 257, 174755872, 0, 2},
      {"O E2" + B(4) + "10.2.0.0 255.255.0.0 [110/20] via 10.1.1.2, 00:00:05, Ethernet0", 2562, 0,
       2561, 258, 166208178, 15, 2},
      {"D" + B(7) + "10.3.0.0 0xFFFF0000 is a summary, 00:01:00, Null0", 2563, 0, 65535, 65535,
       143134752, 15, 2},
      {B(20) + "[110/20] via 10.1.1.3, 00:00:05, Ethernet1", 65535, 65535, 65535, 65535, kNoCode,
       15, 3},
      {"", 65535, 65535, 65535, 65535, kNoCode, 15, 3},
  };
  RouteLineParser parser;
  std::int16_t state = kLineStateReset;
  for (const Expect& e : lines) {
    std::int32_t dh = -7, dl = -7, hh = -7, hl = -7, ck = -7;
    std::int16_t mk = -7;
    parser.ParseRouteLine(e.line, dh, dl, hh, hl, ck, mk, state);
    EXPECT_EQ(std::vector<int>({dh, dl, hh, hl, ck, mk, state}),
              std::vector<int>(
                  {e.destHigh, e.destLow, e.hopHigh, e.hopLow, e.codeKey, e.maskKey, e.lineState}))
        << e.line;
  }
}

// One line after a /20 route, so a line without a valid mask of its own shows the carried 19.
struct LineCase {
  std::string line;
  bool route;
  std::int16_t maskKey;
  std::int32_t hopHigh, hopLow, codeKey;
};

constexpr std::int32_t kO = 166203424, kS = 174592032, kC = 141037600, kNone = kNoAddress;
const std::string O = "O" + B(7);

const LineCase kLines[] = {
    // mask notations
    {O + "10.1.1.1/32 [110/2] via 10.0.0.1, Eth0", true, 31, 2560, 1, kO},
    {O + "0.0.0.0/0 [110/2] via 10.0.0.1", true, 0, 2560, 1, kO},
    {O + "10.1.1.1/33 [110/2] via 10.0.0.1", true, 19, 2560, 1, kO},
    {O + "10.1.1.1/024 [110/2]", true, 19, kNone, kNone, kO},
    {O + "10.1.1.1/ [110/2]", true, 19, kNone, kNone, kO},
    {O + "10.0.0.0 0xFFFFFF00 [1/0]", true, 23, kNone, kNone, kO},
    {O + "10.0.0.0 0xffffe000 [1/0]", true, 18, kNone, kNone, kO},
    {O + "10.0.0.0 0XFFFFFF00 [1/0]", true, 19, kNone, kNone, kO},
    {O + "10.0.0.0 0xFFFF00FF [1/0]", true, 15, kNone, kNone, kO},
    {O + "10.0.0.0 0xFFFFFF00[1/0]", true, 19, kNone, kNone, kO},
    {O + "10.0.0.0 0xFFFFF700 [1/0]", true, 19, kNone, kNone, kO},
    {O + "10.0.0.0 255.255.255.128 [1/0]", true, 24, kNone, kNone, kO},
    {O + "10.0.0.0 192.0.0.0 [1/0]", true, 1, kNone, kNone, kO},
    {O + "10.0.0.0 255.0.255.0 [1/0]", true, 15, kNone, kNone, kO},
    {O + "10.0.0.0 255.255.255.1 [1/0]", true, 19, kNone, kNone, kO},
    {O + "10.0.0.0 255.255.255.0", true, 19, kNone, kNone, kO},
    {O + "10.0.0.0 [110/2] via 10.0.0.1", true, 19, 2560, 1, kO},
    {O + "010.001.0.0/16 [1/0]", true, 15, kNone, kNone, kO},
    {O + "10.0.0.255/24 [1/0]", true, 23, kNone, kNone, kO},
    {O + "10.0.0.256/24 [1/0]", false, 19, kNone, kNone, kNoCode},
    {O + "10.0.0.1000/24 [1/0]", false, 19, kNone, kNone, kNoCode},
    {O + "10.0.0.1,24 [1/0]", false, 19, kNone, kNone, kNoCode},
    {O + "10.1.1/24 [1/0]", false, 19, kNone, kNone, kNoCode},
    // next hops
    {O + "10.1.0.0/16 [110/2] via 192.168.1.2, 00:01:00, Eth0", true, 15, 49320, 258, kO},
    {O + "10.1.0.0/16 [110/2] via 192.168.1.2 Eth0", true, 15, kNone, kNone, kO},
    {O + "10.1.0.0/16 [110/2] via 192.168.1.2[x]", true, 15, kNone, kNone, kO},
    {O + "10.1.0.0/16 [110/2] via 192.168.1.300,", true, 15, kNone, kNone, kO},
    {O + "10.1.0.0/16 subnetted, via 1.2.3.4", true, 15, 0, 0, kO},
    {"C       10.1.0.0/16 is directly connected, Eth0", true, 15, 0, 0, kC},
    {"O        10.8.13.0/24 [110/110] via 10.8.1.2, 1d02h, Gi0/1", true, 23, 2568, 258, kO},
    // line kinds; column 5 may hold a flag of today's IOS, no part of the code
    {"Router#show ip route", false, 19, kNone, kNone, kNoCode},
    {"       D - EIGRP, EX - EIGRP external", false, 19, kNone, kNone, kNoCode},
    {B(20) + "10.1.1.0/24 [1/0] via 1.1.1.1", false, 19, kNone, kNone, kNoCode},
    {B(21) + "10.1.1.0/24 [1/0] via 1.1.1.1", true, 23, 257, 257, kNoCode},
    {std::string("C\0  x 10.1.1.0/24", 17), false, 19, kNone, kNone, kNoCode},
    {"C    10.1.1.0/24 is directly connected", true, 23, kNone, kNone, kC},
    {"C ", false, 19, kNone, kNone, kNoCode},
    {"S   %    10.34.0.1 [1/0] via 192.168.16.1", true, 19, 49320, 4097, kS},
    {"S   +    10.186.1.0 [1/0] via 10.144.0.1 (red)", true, 19, kNone, kNone, kS},
    {"S   &    10.69.0.0 [1/0] via 10.34.0.1,", true, 19, 2594, 1, kS},
    {"S   p    10.34.0.2 is directly connected, Loopback0", true, 19, 0, 0, kS},
    {"S   %10.34.0.1 [1/0] via 192.168.16.1", true, 19, 49320, 4097, kS},
    {"S*  +    0.0.0.0/0 [1/0] via 10.0.0.1", true, 0, 2560, 1, 174755872},
    {"S   x    10.34.0.1 [1/0] via 192.168.16.1", false, 19, kNone, kNone, kNoCode},
    {"S   P    10.34.0.1 [1/0] via 192.168.16.1", false, 19, kNone, kNone, kNoCode},
    {"S   *    10.34.0.1 [1/0] via 192.168.16.1", false, 19, kNone, kNone, kNoCode},
    {"S   %%   10.34.0.1 [1/0] via 192.168.16.1", false, 19, kNone, kNone, kNoCode},
    {"    %    10.34.0.1 [1/0] via 192.168.16.1", false, 19, kNone, kNone, kNoCode},
    {"% Network not in table", false, 19, kNone, kNone, kNoCode},
};

TEST(RouteLineParser, LineAfterARoute) {
  for (const LineCase& c : kLines) {
    RouteLineParser parser;
    std::int16_t state = kLineStateReset;
    parser.Parse("C       10.0.0.0/20 is directly connected, Ethernet0", state);
    const ParsedLine out = parser.Parse(c.line, state);
    EXPECT_EQ(std::vector<int>({state, out.MaskKey, out.HopHigh, out.HopLow, out.CodeKey}),
              std::vector<int>({c.route ? 2 : 3, c.maskKey, c.hopHigh, c.hopLow, c.codeKey}))
        << '"' << c.line << '"';
  }
}

TEST(RouteLineParser, NonAsciiCodeUsesLowSevenBitsOfCodePoint) {
  RouteLineParser parser;
  std::int16_t state = kLineStateReset;
  // U+00C9 is one character with the low seven bits 0x49; an invalid byte is one character.
  EXPECT_EQ(parser.Parse("\xC3\x89    10.0.0.0/8 [1/0] via 1.1.1.1", state).CodeKey,
            0x49 * (1 << 21) + 32 * (1 << 14) + 32 * 128 + 32);
  EXPECT_EQ(state, 2);
  EXPECT_EQ(parser.Parse("\xFF    10.0.0.0/8 [1/0] via 1.1.1.1", state).CodeKey,
            0x7F * (1 << 21) + 32 * (1 << 14) + 32 * 128 + 32);
  // A multi-byte character in column 2 makes the fifth character another byte.
  EXPECT_EQ(parser.Parse("O\xE3\x80\x80  10.0.0.0/8 [1/0]", state).CodeKey, kNoCode);
}

TEST(RouteLineParser, ResetClearsTheCarriedMask) {
  RouteLineParser parser;
  std::int16_t state = kLineStateReset;
  parser.Parse("S       10.0.0.0/8 [1/0] via 1.1.1.1", state);
  std::int16_t other = 1;  // a caller that does not reset keeps the carried value
  EXPECT_EQ(parser.Parse("S       10.0.0.0 [1/0] via 1.1.1.1", other).MaskKey, 7);
  state = kLineStateReset;
  EXPECT_EQ(parser.Parse("S       10.0.0.0 [1/0] via 1.1.1.1", state).MaskKey, 0);
  EXPECT_EQ(parser.Parse("junk", state).MaskKey, -1);
  EXPECT_EQ(state, 3);
}

}  // namespace
}  // namespace kestrelon::routes
