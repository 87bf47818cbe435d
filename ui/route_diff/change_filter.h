// Which changes the route diff window shows: the kinds, one VRF, one protocol, and a search
// that finds a prefix (and the routes inside it), a next hop or an interface.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "tables/address_text.h"
#include "ui/route_diff/change_rows.h"

namespace kestrelon::ui::route_diff {

struct ChangeFilter {
  std::array<bool, 3> kinds{true, true, true};  // by RouteChange
  std::string vrf;                              // empty: every VRF
  std::string protocol;                         // empty: every protocol (before or after)
  std::string search;                           // empty: no search

  bool Narrows() const {
    return !(kinds[0] && kinds[1] && kinds[2]) || !vrf.empty() || !protocol.empty() ||
           !search.empty();
  }
};

// The filter made ready for many rows: the search read once as a prefix, an address or text.
// A prefix finds the routes inside it (itself included); an address finds the routes that
// hold it (but the default route) and the paths through it; other text is looked for, without
// regard to case, in the prefix, the next hops and the interfaces.
class ChangeMatcher {
 public:
  explicit ChangeMatcher(const ChangeFilter& filter);
  bool operator()(const ChangeRow& row) const;

 private:
  bool Found(const ChangeRow& row) const;
  bool HopFound(const RouteCopy& route) const;

  ChangeFilter filter_;
  std::string folded_;  // the search in lower case
  std::optional<tables::AddressValue> network_;
  tables::Afi afi_ = tables::Afi::kIpv4;
  int length_ = -1;  // a prefix was given
  bool address_ = false;
};

// The indexes of the rows that pass, in order.
std::vector<std::uint32_t> Shown(const std::vector<ChangeRow>& rows, const ChangeFilter& filter);

}  // namespace kestrelon::ui::route_diff
