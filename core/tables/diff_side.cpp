#include "tables/diff_side.h"

#include <algorithm>
#include <charconv>
#include <tuple>

#include "tables/address_text.h"

namespace kestrelon::tables {

int PairKey::CompareInVrf(const PairKey& other) const {
  const auto order = std::tie(afi, named, high, low, length) <=>
                     std::tie(other.afi, other.named, other.high, other.low, other.length);
  return order < 0 ? -1 : order > 0 ? 1 : 0;
}

namespace {

// Up to max decimal digits at p into value; false for none or more.
bool ReadDecimal(const char*& p, const char* end, int max, std::uint32_t& value) {
  int digits = 0;
  value = 0;
  for (; p != end && static_cast<unsigned char>(*p - '0') <= 9; ++p) {
    if (++digits > max) {
      return false;
    }
    value = value * 10 + static_cast<std::uint32_t>(*p - '0');
  }
  return digits > 0;
}

// "10.1.0.0/16", by far the most common prefix, in one pass: the same key as the general
// reading gives it, or false for that reading to decide.
bool ReadIpv4PrefixKey(std::string_view prefix, PairKey& key) {
  const char* p = prefix.data();
  const char* const end = p + prefix.size();
  std::uint32_t address = 0;
  for (int octet = 0; octet < 4; ++octet) {
    std::uint32_t value = 0;
    if ((octet > 0 && (p == end || *p++ != '.')) || !ReadDecimal(p, end, 3, value) || value > 255) {
      return false;
    }
    address = address << 8 | value;
  }
  std::uint32_t length = 0;
  if (p == end || *p++ != '/' || !ReadDecimal(p, end, 3, length) || p != end || length > 128) {
    return false;
  }
  key.named = 0;
  key.high = 0;
  key.low = address;
  key.length = static_cast<std::uint8_t>(length);
  return true;
}

}  // namespace

void ReadPrefixKey(std::string_view prefix, PairKey& key) {
  if (ReadIpv4PrefixKey(prefix, key)) {
    return;
  }
  const std::size_t slash = prefix.rfind('/');
  if (slash != std::string_view::npos) {
    int length = 0;
    const char* end = prefix.data() + prefix.size();
    const auto [stop, error] = std::from_chars(prefix.data() + slash + 1, end, length);
    if (error == std::errc() && stop == end && length >= 0 && length <= 128) {
      if (const auto value = ReadAddressValue(prefix.substr(0, slash))) {
        key.named = 0;
        key.high = value->high;
        key.low = value->low;
        key.length = static_cast<std::uint8_t>(length);
        return;
      }
    }
  }
  key.named = 1;
  key.high = 0;
  key.low = 0;
  key.length = 0;
}

int CompareVrfNames(std::string_view a, std::string_view b) {
  const auto order = std::make_tuple(a != kDefaultVrf, a) <=> std::make_tuple(b != kDefaultVrf, b);
  return order < 0 ? -1 : order > 0 ? 1 : 0;
}

void DiffSide::Put(const RouteView& route) {
  PairKey& key = keys_.emplace_back();
  key.route = static_cast<std::uint32_t>(table_.size());
  table_.Put(route);
  key.vrf = table_.VrfId(key.route);
  key.afi = route.afi;
  ReadPrefixKey(route.prefix, key);
}

std::vector<std::string> DiffSide::vrfs() const {
  std::vector<std::string> names;
  for (std::uint32_t id = 0; id < table_.VrfCount(); ++id) {
    names.emplace_back(table_.VrfName(id));
  }
  return names;
}

std::string_view DiffSide::Prefix(std::uint32_t route) const {
  std::vector<NextHopView> hops;
  return table_.At(route, hops).prefix;  // the text lives in the table, not in hops
}

void DiffSide::Order(const std::vector<std::uint32_t>& rank) {
  std::erase_if(keys_, [&](PairKey& key) {
    key.vrf = rank[key.vrf];
    return key.vrf == kLeftOut;
  });
  const auto before = [this](const PairKey& a, const PairKey& b) {
    if (a.vrf != b.vrf) {
      return a.vrf < b.vrf;
    }
    if (const int order = a.CompareInVrf(b); order != 0) {
      return order < 0;
    }
    if (a.named != 0) {
      if (const int order = Prefix(a.route).compare(Prefix(b.route)); order != 0) {
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
