#include "routes/sort_options.h"

#include <gtest/gtest.h>

namespace kestrelon::routes {
namespace {

TEST(SortOptions, KeyNumberIsHighestCheckedItemAndZeroWhenNotFollowed) {
  SortOptions o;
  o.followOptions = true;
  o.sortKey = {false, false, true, false, true, false};
  EXPECT_EQ(o.KeyNumber(), 4);
  o.followOptions = false;
  EXPECT_EQ(o.KeyNumber(), 0);
  o.followOptions = true;
  o.sortKey = {false, false, false, false, false, false};
  EXPECT_EQ(o.KeyNumber(), 0);
}

TEST(SortOptions, CompareForcesDestinationOrderAndTimeCut) {
  struct Case {
    std::array<bool, 6> user;
    std::array<bool, 6> forced;
  };
  const Case cases[] = {
      {{true, false, false, false, false, false}, {true, false, true, false, false, false}},
      {{false, true, false, true, false, false}, {false, true, true, true, false, false}},
      {{false, false, true, false, false, false}, {false, false, true, false, false, false}},
      {{false, false, false, false, true, false}, {false, false, false, false, true, false}},
      {{false, false, false, false, false, true}, {false, false, false, false, false, true}},
  };
  for (const Case& c : cases) {
    SortOptions user;
    user.followOptions = false;
    user.sortKey = {false, true, false, false, false, false};
    user.infoDel = c.user;
    const SortOptions forced = user.ForcedForCompare();
    EXPECT_TRUE(forced.followOptions);
    EXPECT_EQ(forced.KeyNumber(), 0);
    EXPECT_EQ(forced.infoDel, c.forced);
  }
}

}  // namespace
}  // namespace kestrelon::routes
