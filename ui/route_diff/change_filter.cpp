#include "ui/route_diff/change_filter.h"

#include <algorithm>
#include <cctype>

namespace kestrelon::ui::route_diff {
namespace {

std::string Folded(std::string_view text) {
  std::string folded(text);
  std::transform(folded.begin(), folded.end(), folded.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return folded;
}

bool HasFolded(std::string_view text, const std::string& folded) {
  const auto at =
      std::search(text.begin(), text.end(), folded.begin(), folded.end(),
                  [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
  return at != text.end() || folded.empty();
}

// The address with every bit after the first length ones cleared; IPv4 sits in low's low 32.
tables::AddressValue Masked(tables::AddressValue value, tables::Afi afi, int length) {
  const auto keep = [](std::uint64_t word, int bits) {
    return bits <= 0 ? 0 : bits >= 64 ? word : word & ~(~std::uint64_t{0} >> bits);
  };
  if (afi == tables::Afi::kIpv4) {
    const int bits = std::clamp(length, 0, 32);
    return {0, bits == 0 ? 0 : value.low & (~std::uint64_t{0} << (32 - bits)) & 0xFFFFFFFFu};
  }
  return {keep(value.high, length), keep(value.low, length - 64)};
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

}  // namespace

ChangeMatcher::ChangeMatcher(const ChangeFilter& filter) : filter_(filter) {
  const std::string_view search = Trimmed(filter.search);
  folded_ = Folded(search);
  if (const auto prefix = tables::ReadPrefix(search)) {
    network_ = tables::ReadAddressValue(prefix->address);
    afi_ = prefix->afi;
    length_ = prefix->length;
  } else if (tables::IsAddress(search)) {
    network_ = tables::ReadAddressValue(search);
    afi_ = tables::IsIpv4Address(search) ? tables::Afi::kIpv4 : tables::Afi::kIpv6;
    address_ = network_.has_value();
  }
  if (network_) {
    network_ = Masked(*network_, afi_, length_ >= 0 ? length_ : 128);
  }
}

bool ChangeMatcher::HopFound(const RouteCopy& route) const {
  for (const HopCopy& hop : route.hops) {
    if (address_) {
      if (hop.address && tables::ReadAddressValue(*hop.address) == network_) {
        return true;
      }
    } else if ((hop.address && HasFolded(*hop.address, folded_)) ||
               (hop.interface && HasFolded(*hop.interface, folded_))) {
      return true;
    }
  }
  return false;
}

bool ChangeMatcher::Found(const ChangeRow& row) const {
  if (network_) {
    if (row.network && row.route().afi == afi_) {
      const bool inside =
          length_ >= 0 && row.length >= length_ && Masked(*row.network, afi_, length_) == *network_;
      // A default route holds every address; listing it for each would only be noise.
      const bool holds =
          address_ && row.length > 0 &&
          Masked(*network_, afi_, row.length) == Masked(*row.network, afi_, row.length);
      if (inside || holds) {
        return true;
      }
    }
    if (!address_) {
      return false;
    }
  } else if (HasFolded(row.route().prefix, folded_)) {
    return true;
  }
  return (row.before && HopFound(*row.before)) || (row.after && HopFound(*row.after));
}

bool ChangeMatcher::operator()(const ChangeRow& row) const {
  if (!filter_.kinds[static_cast<std::size_t>(row.change)]) {
    return false;
  }
  if (!filter_.vrf.empty() && row.route().vrf != filter_.vrf) {
    return false;
  }
  if (!filter_.protocol.empty() && !(row.before && row.before->protocol == filter_.protocol) &&
      !(row.after && row.after->protocol == filter_.protocol)) {
    return false;
  }
  return folded_.empty() || Found(row);
}

std::vector<std::uint32_t> Shown(const std::vector<ChangeRow>& rows, const ChangeFilter& filter) {
  std::vector<std::uint32_t> shown;
  shown.reserve(rows.size());
  const ChangeMatcher matches(filter);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (matches(rows[i])) {
      shown.push_back(static_cast<std::uint32_t>(i));
    }
  }
  return shown;
}

}  // namespace kestrelon::ui::route_diff
