#include "tables/diff_side.h"

#include <algorithm>
#include <charconv>

#include "tables/address_text.h"

namespace kestrelon::tables {
namespace {

// The key of a prefix: "10.1.0.0/16" as numbers; anything else as a name.
void ReadKey(std::string_view prefix, DiffSide::Key& key) {
  const std::size_t slash = prefix.rfind('/');
  if (slash != std::string_view::npos) {
    int length = 0;
    const char* end = prefix.data() + prefix.size();
    const auto [stop, error] = std::from_chars(prefix.data() + slash + 1, end, length);
    if (error == std::errc() && stop == end && length >= 0 && length <= 128) {
      if (const auto value = ReadAddressValue(prefix.substr(0, slash))) {
        key.high = value->high;
        key.low = value->low;
        key.length = static_cast<std::uint8_t>(length);
        return;
      }
    }
  }
  key.named = 1;
}

}  // namespace

void DiffSide::Reserve(std::size_t captureBytes) {
  // No route takes fewer than about 24 bytes to print ("S 10.0.0.0/8 is directly connected,
  // Null0" takes more); pages of the room left unused are never touched.
  const std::size_t routes = captureBytes / 24 + 16;
  keys_.reserve(routes);
  table_.Reserve(routes);
}

std::vector<std::string> DiffSide::vrfs() const {
  std::vector<std::string> names;
  for (std::uint32_t id = 0; id < table_.VrfCount(); ++id) {
    names.emplace_back(table_.VrfName(id));
  }
  return names;
}

void DiffSide::Count(std::uint32_t vrf, std::string_view protocol) {
  if (vrf >= vrfCounts_.size()) {
    vrfCounts_.resize(vrf + 1);
  }
  ++vrfCounts_[vrf];
  if (lastCount_ == nullptr || lastProtocol_.first != vrf || lastProtocol_.second != protocol) {
    lastProtocol_ = {vrf, std::string(protocol)};
    lastCount_ = &protocols_[lastProtocol_];  // a map never moves its values
  }
  ++*lastCount_;
}

void DiffSide::Put(const RouteView& route) {
  Key& key = keys_.emplace_back();
  key.route = static_cast<std::uint32_t>(table_.size());
  table_.Put(route);
  key.vrf = table_.VrfId(key.route);
  key.afi = route.afi;
  ReadKey(route.prefix, key);
  Count(key.vrf, route.protocol);
}

std::string_view DiffSide::Prefix(std::uint32_t route) const {
  std::vector<NextHopView> hops;
  return table_.At(route, hops).prefix;  // the text lives in the table, not in hops
}

void DiffSide::Order(const std::vector<std::uint32_t>& rank) {
  std::erase_if(keys_, [&](Key& key) {
    key.vrf = rank[key.vrf];
    return key.vrf == kLeftOut;
  });
  const auto before = [this](const Key& a, const Key& b) {
    if (a.vrf != b.vrf) {
      return a.vrf < b.vrf;
    }
    if (a.afi != b.afi) {
      return a.afi < b.afi;
    }
    if (a.named != b.named) {
      return a.named < b.named;
    }
    if (a.high != b.high) {
      return a.high < b.high;
    }
    if (a.low != b.low) {
      return a.low < b.low;
    }
    if (a.length != b.length) {
      return a.length < b.length;
    }
    if (a.named != 0) {
      const int order = Prefix(a.route).compare(Prefix(b.route));
      if (order != 0) {
        return order < 0;
      }
    }
    return a.route < b.route;
  };
  // Routers print their tables mostly in this order already.
  if (!std::is_sorted(keys_.begin(), keys_.end(), before)) {
    std::sort(keys_.begin(), keys_.end(), before);
  }
}

}  // namespace kestrelon::tables
