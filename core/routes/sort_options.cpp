#include "routes/sort_options.h"

namespace kestrelon::routes {

int SortOptions::KeyNumber() const {
  if (!followOptions) {
    return 0;
  }
  for (int k = 5; k >= 1; --k) {
    if (sortKey[k]) {
      return k;
    }
  }
  return 0;
}

SortOptions SortOptions::ForcedForCompare() const {
  SortOptions forced = *this;
  forced.followOptions = true;
  forced.sortKey = {true, false, false, false, false, false};
  if (!infoDel[2] && !infoDel[4] && !infoDel[5]) {
    forced.infoDel[2] = true;
  }
  return forced;
}

}  // namespace kestrelon::routes
