#include "fleet/fleet_shard.h"

#include <gtest/gtest.h>

#include <set>

namespace kestrelon::fleet {
namespace {

TEST(FleetShard, SharesCoverEveryDeviceOnceAndEvenly) {
  for (std::size_t count = 1; count <= 7; ++count) {
    for (std::size_t devices : {0, 1, 6, 7, 20}) {
      std::set<std::size_t> taken;
      for (std::size_t k = 1; k <= count; ++k) {
        std::size_t share = 0;
        for (std::size_t i = 0; i < devices; ++i) {
          if (InShare(i, {k, count})) {
            EXPECT_TRUE(taken.insert(i).second);
            ++share;
          }
        }
        EXPECT_LE(share, (devices + count - 1) / count);
        EXPECT_GE(share, devices / count);
      }
      EXPECT_EQ(taken.size(), devices);
    }
  }
  EXPECT_EQ(ParseShard("2/3")->index, 2u);
  for (const char* bad : {"0/3", "4/3", "3", "1/0", "/3", "1/", "a/b", "1/3x", "-1/3"}) {
    EXPECT_FALSE(ParseShard(bad)) << bad;
  }
}

}  // namespace
}  // namespace kestrelon::fleet
