#include "tables/diff_side.h"

#include <algorithm>
#include <charconv>
#include <tuple>

#include "tables/address_text.h"
#include "tables/short_text.h"

namespace kestrelon::tables {

namespace {

// "10.1.0.0/16", by far the most common prefix, in one pass: the same key as the general
// reading gives it, or false for that reading to decide.
bool ReadIpv4PrefixKey(std::string_view prefix, PairKey& key) {
  // From "0.0.0.0/0" to "255.255.255.255/128". The copy ends in NULs, which are no digits, so
  // the reading below looks for the end of a number without checking for the end of the text.
  constexpr std::size_t kShortest = 9;
  constexpr std::size_t kLongest = 19;
  if (prefix.size() < kShortest || prefix.size() > kLongest) {
    return false;
  }
  char text[kLongest + 8] = {};
  CopyText(text, prefix);
  std::size_t i = 0;
  const auto digit = [&] { return static_cast<unsigned char>(text[i] - '0'); };
  // One to three digits; false for none or more.
  const auto number = [&](std::uint32_t& value) {
    unsigned next = digit();
    if (next > 9) {
      return false;
    }
    value = next;
    ++i;
    if ((next = digit()) <= 9) {
      value = value * 10 + next;
      ++i;
      if ((next = digit()) <= 9) {
        value = value * 10 + next;
        ++i;
        return digit() > 9;
      }
    }
    return true;
  };
  std::uint32_t address = 0;
  for (int octet = 0; octet < 4; ++octet) {
    std::uint32_t value = 0;
    if ((octet > 0 && text[i++] != '.') || !number(value) || value > 255) {
      return false;
    }
    address = address << 8 | value;
  }
  std::uint32_t length = 0;
  if (text[i++] != '/' || !number(length) || i != prefix.size() || length > 128) {
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
