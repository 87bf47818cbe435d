// What the option controls say, as a plain value the sort and the compare read.
#pragma once

#include <array>

namespace kestrelon::routes {

struct SortOptions {
  bool followOptions = false;                                            // chkOption holds 1
  std::array<bool, 6> sortKey{true, false, false, false, false, false};  // mSortKey(0..5)
  std::array<bool, 6> infoDel{true, false, false, false, false, false};  // mInfoDel(0..5)

  // The key number the sort uses: the highest checked item of 5..1, else 0; always 0 when the
  // options are not followed.
  int KeyNumber() const;
  // Whether the information filter applies at all.
  bool FilterActive() const { return followOptions; }

  // The options the compare sorts with: follow the options, destination order, and the time
  // cut added unless destination-and-mask or destination-only is chosen.
  SortOptions ForcedForCompare() const;
};

}  // namespace kestrelon::routes
