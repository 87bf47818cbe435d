#include "tables/log_cleaning.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrelon::tables {
namespace {

// What the generic test over the real captures cannot see: which lines were noise, that line
// numbers stay, that a stamp is stripped only where the capture carries it throughout, and
// that a capture needing nothing is read in place.
TEST(LogCleaning, KeepsLineNumbersAndReportsNoise) {
  const std::string route = "C        10.0.0.0/8 is directly connected, Gi0/0";
  const std::string wrapped = "O E2     10.1.0.0/16 ";
  const std::string path = "           [110/20] via 10.2.2.2, 00:01:02, Gi0/1";
  const struct {
    std::string capture;
    std::string text;  // empty: read in place
    std::vector<std::size_t> noise;
  } cases[] = {
      {"Codes: C - connected, IA - OSPF inter area \n" + wrapped + "\n" + path + "\n", "", {}},
      {route + "\r\n" + wrapped + "\r\n" + path + "\r\n", "", {}},
      {wrapped + "\r\r\n" + path + "\r\r\n" + route,
       wrapped + "\n" + path + "\n" + route + "\n",
       {}},
      // padding goes; a wrapped line keeps the one blank its router prints
      {route + "     \n" + wrapped + "     \n" + path + "   \n",
       route + "\n" + wrapped + "\n" + path + "\n",
       {}},
      {"=~=~=~=~=~=~= PuTTY log 2026.12.07 21:47:26 =~=~=~=~=~=~=\nR1#show ip route\n"
       " --More--        \n<--- More --->\r              \r" +
           route + "\n",
       "=~=~=~=~=~=~= PuTTY log 2026.12.07 21:47:26 =~=~=~=~=~=~=\nR1#show ip route\n--More--\n" +
           route + "\n",
       {1, 3}},
      {"\x1b[7m--More--\x1b[m\r\x1b[K" + route + "\x1b[K\n\x1b[1;32mR1#\x1b[0m\n",
       route + "\nR1#\n",
       {}},
      // a stamp on every line, the device's own time line too
      {"[Mon Dec 07 21:47:26.123 2026] Mon Dec  7 21:47:26.123 UTC\n"
       "[Mon Dec 07 21:47:26.125 2026] " +
           route + "\n[Mon Dec 07 21:47:26.127 2026]\n",
       "Mon Dec  7 21:47:26.123 UTC\n" + route + "\n\n",
       {}},
      {"<2026-12-07 21:47:26> " + wrapped + "\n<2026-12-07 21:47:26> " + path + "\n",
       wrapped + "\n" + path + "\n",
       {}},
      // a line that merely starts like a stamp, in a capture that has none, stays
      {"(21:47) checked\n" + route + "  \n" + route + "\n" + route + "\n",
       "(21:47) checked\n" + route + "\n" + route + "\n" + route + "\n",
       {}},
  };
  for (const auto& c : cases) {
    const CleanedCapture cleaned(c.capture);
    EXPECT_EQ(cleaned.cleaned(), !c.text.empty()) << testing::PrintToString(c.capture);
    EXPECT_EQ(cleaned.text(), c.text.empty() ? c.capture : c.text)
        << testing::PrintToString(c.capture);
    EXPECT_EQ(cleaned.noiseLines(), c.noise) << testing::PrintToString(c.capture);
  }
}

}  // namespace
}  // namespace kestrelon::tables
