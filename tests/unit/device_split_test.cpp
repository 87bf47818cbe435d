// Logs of several devices: the host of a prompt, the split at a change of host, and a capture
// of two platforms that no prompt parts.
#include "tables/device_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/file_error.h"
#include "tables/platform_detect.h"
#include "tables/prompt_host.h"
#include "test_files.h"

namespace kestrelon::tables {
namespace {

TEST(DeviceSplit, TheHostOfAPrompt) {
  const struct {
    const char* line;
    const char* host;  // nullptr: no prompt
    const char* command;
  } cases[] = {
      {"R1#show ip route", "R1", "show ip route"},
      {"R1>", "R1", ""},
      {"RP/0/RP0/CPU0:xr1#show route vrf all", "xr1", "show route vrf all"},
      {"leaf1(config)# show ip route", "leaf1", "show ip route"},
      {"asa1/pri/act# show route", "asa1", "show route"},
      {"user@mx1> show route", "mx1", "show route"},
      {"core-sw.lab_2#", "core-sw.lab_2", ""},
      // route lines, legends and headers
      {"B>* 10.1.0.0/16 [20/0] via 10.0.0.1", nullptr, nullptr},
      {"Codes: C - connected, S - static, R - RIP, B - BGP, (>) - Diversion path", nullptr,
       nullptr},
      {"       (>) - Diversion path", nullptr, nullptr},
      {"'%<string>' in via output denotes VRF <string>", nullptr, nullptr},
      {"10.0.0.0/8, ubest/mbest: 1/0", nullptr, nullptr},
      {"  R1#show ip route", nullptr, nullptr},
      {"user@host:~$ cat r1.log", nullptr, nullptr},
      {"10.1.1.1#", nullptr, nullptr},
  };
  for (const auto& c : cases) {
    const std::optional<Prompt> prompt = ReadPrompt(c.line);
    ASSERT_EQ(prompt.has_value(), c.host != nullptr) << c.line;
    if (prompt) {
      EXPECT_EQ(prompt->host, c.host) << c.line;
      EXPECT_EQ(prompt->command, c.command) << c.line;
    }
  }
}

TEST(DeviceSplit, APartPerRunOfOneHostsPrompts) {
  const std::string log = testing::JoinLines(
      {"=~=~=~=~ PuTTY log =~=~=~=~", "R1#show ip route", "C 10.0.0.0/8 is directly connected, Gi0",
       "R1(config)#end", "R1#ssh 10.0.0.2", "Password:", "leaf1# show ip route",
       "10.9.0.0/16, ubest/mbest: 1/0", "leaf1# exit", "R1#"},
      "\r\n");
  const std::vector<DevicePart> parts = SplitByDevice(log);
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0].device, "R1");
  EXPECT_EQ(parts[0].firstLine, 1u);
  EXPECT_TRUE(parts[0].text.ends_with("Password:\r\n"));
  EXPECT_EQ(parts[1].device, "leaf1");
  EXPECT_EQ(parts[1].firstLine, 7u);
  EXPECT_TRUE(parts[1].text.starts_with("leaf1# show ip route\r\n"));
  EXPECT_EQ(parts[2].device, "R1");
  EXPECT_EQ(parts[2].firstLine, 10u);
  EXPECT_EQ(SplitByDevice("R1#show ip route\nR1>exit\n").size(), 1u);
  EXPECT_EQ(SplitByDevice("C 10.0.0.0/8 is directly connected, Gi0\n").front().device, "");
}

TEST(DeviceSplit, TwoPlatformsThatNoPromptPartsAreRefused) {
  const std::string ios =
      "Codes: L - local, C - connected, S - static, B - BGP\n\n"
      "C        10.0.0.0/8 is directly connected, Gi0\n";
  const std::string xr =
      "Codes: C - connected, S - static, R - RIP, B - BGP, (>) - Diversion path\n"
      "       (!) - FRR Backup path\n\n"
      "C    10.0.0.0/8 is directly connected, 00:01:02, Gi0/0/0/0\n";
  const std::string nxos =
      "IP Route Table for VRF \"default\"\n"
      "10.9.0.0/16, ubest/mbest: 1/0\n"
      "    *via 10.1.1.1, [1/0], 6d02h, static\n";
  const std::string v6 =
      "IPv6 Routing Table - default - 1 entries\n"
      "Codes: C - Connected, L - Local, S - Static\n\n"
      "C   2001:DB8::/64 [0/0]\n     via Vlan1, directly connected\n";
  const struct {
    std::string capture;
    std::size_t line;  // 0: one platform
  } cases[] = {
      {ios + nxos, 4},
      {nxos + ios, 4},
      {xr + nxos + xr, 5},
      {ios + v6, 0},                           // one device's IPv4 and IPv6 tables
      {"VRF: a\n" + xr + "VRF: b\n" + xr, 0},  // IOS-XR's legend once per VRF
  };
  for (const auto& c : cases) {
    const std::optional<SecondPlatform> second = FindSecondPlatform(c.capture);
    EXPECT_EQ(second ? second->line : 0, c.line) << c.capture;
    if (c.line > 0) {
      EXPECT_THROW(RefuseTwoPlatforms({"", 1, c.capture}, "mixed.log"), FileError);
    }
  }
}

}  // namespace
}  // namespace kestrelon::tables
