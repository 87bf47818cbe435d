#include "fleet/device_pairing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/file_error.h"

namespace kestrelon::fleet {
namespace {

TEST(DevicePairing, NameKeyDropsExtensionAndMarker) {
  const struct {
    std::string file;
    std::string key;
  } cases[] = {
      {"R1_before.log", "R1"},
      {"R1_after.log", "R1"},
      {"pre-R1.txt", "R1"},
      {"post-R1.txt", "R1"},
      {"R1.log", "R1"},
      {"R1.BEFORE.txt", "R1"},
      {"old_core-2.cap", "core-2"},
      {"before.log", "before"},  // the marker alone is the name
      {"preR1.txt", "preR1"},
      {"R1_post.tar.gz", "R1_post.tar"},
      {".hidden", ".hidden"},
      {"R1-new", "R1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NameKey(c.file), c.key) << c.file;
  }
}

TEST(DevicePairing, PromptHostPrefersTheShowCommand) {
  EXPECT_EQ(PromptHost("banner\r\nRP/0/RP0/CPU0:xr1#show route\r\n"), "xr1");
  EXPECT_EQ(PromptHost("jump>ssh R1\nR1#show ip route\n"), "R1");
  EXPECT_EQ(PromptHost("user@mx1> \n"), "mx1");
  // A terminal program's time stamps and colour escapes.
  EXPECT_EQ(PromptHost("[2026-12-08 01:00:00] R7#show ip route\r\n"
                       "[2026-12-08 01:00:00] Codes: C - connected\r\n"),
            "R7");
  EXPECT_EQ(PromptHost("\x1b[32mR8#\x1b[0mshow ip route\n"), "R8");
  EXPECT_EQ(PromptHost("C    10.0.0.0/8 is directly connected, Gi0\n"), std::nullopt);
}

CaptureFile Capture(std::string path, std::string key, std::optional<std::string> host) {
  return {std::move(path), std::move(key), std::move(host), 1};
}

std::vector<std::string> Rows(const std::vector<DevicePair>& pairs) {
  std::vector<std::string> rows;
  for (const DevicePair& p : pairs) {
    rows.push_back(p.device + " " + (p.pairedBy.empty() ? "-" : p.pairedBy) + " " +
                   p.before.value_or("-") + " " + p.after.value_or("-") +
                   (p.unreadable.empty() ? "" : " !"));
  }
  return rows;
}

TEST(DevicePairing, HostWhereBothHaveItElseName) {
  const std::vector<CaptureFile> before = {
      Capture("b/x.log", "x", "R1"),         // pairs with y.log by host
      Capture("b/R2_before.log", "R2", {}),  // no prompt: by name
      Capture("b/R3.log", "R3", "R3"),       // host found after under no file: by name
      Capture("b/gone.log", "gone", "G"),
  };
  const std::vector<CaptureFile> after = {
      Capture("a/y.log", "y", "R1"),
      Capture("a/R2_after.log", "R2", "R2"),
      Capture("a/R3.log", "R3", {}),
      Capture("a/new.log", "new", {}),
  };
  EXPECT_EQ(Rows(PairCaptures(before, after, PairBy::kAuto)),
            (std::vector<std::string>{"G - b/gone.log -", "R1 host b/x.log a/y.log",
                                      "R2 name b/R2_before.log a/R2_after.log",
                                      "R3 name b/R3.log a/R3.log", "new - - a/new.log"}));
  EXPECT_EQ(Rows(PairCaptures(before, after, PairBy::kName)),
            (std::vector<std::string>{"R2 name b/R2_before.log a/R2_after.log",
                                      "R3 name b/R3.log a/R3.log", "gone - b/gone.log -",
                                      "new - - a/new.log", "x - b/x.log -", "y - - a/y.log"}));
  // By host only, a capture without a prompt cannot be placed.
  EXPECT_EQ(
      Rows(PairCaptures(before, after, PairBy::kHost)),
      (std::vector<std::string>{"G - b/gone.log -", "R1 host b/x.log a/y.log",
                                "R2 - - a/R2_after.log", "R2 - b/R2_before.log - !",
                                "R3 - - a/R3.log !", "R3 - b/R3.log -", "new - - a/new.log !"}));
}

TEST(DevicePairing, TwoCapturesOfOneDeviceOnOneSideNameBoth) {
  const std::vector<CaptureFile> after = {Capture("a/R1.log", "R1", "R1")};
  for (const auto& [before, pairBy] :
       {std::pair{std::vector{Capture("b/p.log", "p", "R1"), Capture("b/q.log", "q", "R1")},
                  PairBy::kAuto},
        std::pair{std::vector{Capture("b/R1.log", "R1", {}), Capture("b/R1.txt", "R1", {})},
                  PairBy::kName}}) {
    try {
      PairCaptures(before, after, pairBy);
      ADD_FAILURE() << "no error";
    } catch (const FileError& error) {
      EXPECT_EQ(error.path(), before[0].path);
      EXPECT_NE(std::string(error.what()).find(before[1].path), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace kestrelon::fleet
