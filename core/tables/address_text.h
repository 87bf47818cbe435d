// Addresses, prefixes and masks as routers print them: tests of their shape and the prefix
// length of a mask. Texts are kept as printed; nothing here rewrites an address.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "tables/route_record.h"

namespace kestrelon::tables {

// A dotted quad: four decimal octets of one to three digits, each at most 255.
bool IsIpv4Address(std::string_view text);
// An IPv6 address: hexadecimal groups separated by ":", at most one "::", optionally ending
// in a dotted quad ("::ffff:10.1.1.1").
bool IsIpv6Address(std::string_view text);
bool IsAddress(std::string_view text);

struct PrefixText {
  Afi afi = Afi::kIpv4;
  std::string_view address;
  int length = 0;
};

// An address as a number, for ordering and pairing: an IPv4 address in the low 32 bits of low.
struct AddressValue {
  std::uint64_t high = 0;
  std::uint64_t low = 0;
  auto operator<=>(const AddressValue&) const = default;
};

// The value of a dotted quad or an IPv6 address (any of its spellings), or none.
std::optional<AddressValue> ReadAddressValue(std::string_view text);

// "10.1.0.0/16" or "2001:db8::/64" with a length in range, or none.
std::optional<PrefixText> ReadPrefix(std::string_view text);

// The prefix length of a dotted mask ("255.255.254.0" gives 23); none for a mask whose ones
// are not contiguous ("255.0.255.0"), which no device accepts.
std::optional<int> DottedMaskLength(std::string_view text);

// Whether a dotted quad reads as a mask: contiguous ones, or a first octet of 255.
bool IsDottedMask(std::string_view text);

}  // namespace kestrelon::tables
