#include "tables/address_text.h"

#include <charconv>
#include <cstdint>

namespace kestrelon::tables {
namespace {

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The four octets of a dotted quad, or none: one to three digits each, at most 255. One pass
// with no test of the end inside an octet: every route passes here.
std::optional<std::uint32_t> ReadQuad(std::string_view text) {
  // "0.0.0.0" to "255.255.255.255"; a shorter or longer text is no quad.
  if (text.size() < 7 || text.size() > 15) {
    return std::nullopt;
  }
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  std::uint32_t value = 0;
  for (int octet = 0; octet < 4; ++octet) {
    if (p == end) {
      return std::nullopt;
    }
    std::uint32_t number = *p - '0';
    if (number > 9) {
      return std::nullopt;
    }
    int digits = 1;
    for (++p; p != end && static_cast<unsigned>(*p - '0') <= 9; ++p) {
      number = number * 10 + static_cast<unsigned>(*p - '0');
      if (++digits > 3) {
        return std::nullopt;
      }
    }
    if (number > 255) {
      return std::nullopt;
    }
    value = value << 8 | number;
    if (octet < 3) {
      if (p == end || *p != '.') {
        return std::nullopt;
      }
      ++p;
    }
  }
  if (p != end) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

bool IsIpv4Address(std::string_view text) {
  return ReadQuad(text).has_value();
}

bool IsIpv6Address(std::string_view text) {
  if (text.size() < 2 || text.find(':') == std::string_view::npos) {
    return false;
  }
  int groups = 0;
  bool doubleColon = false;
  std::size_t i = 0;
  if (text.starts_with("::")) {
    doubleColon = true;
    i = 2;
  } else if (text[0] == ':') {
    return false;
  }
  while (i < text.size()) {
    std::size_t end = i;
    while (end < text.size() && IsHexDigit(text[end])) {
      ++end;
    }
    if (end < text.size() && text[end] == '.') {  // a dotted quad ends the address
      if (!IsIpv4Address(text.substr(i))) {
        return false;
      }
      groups += 2;
      i = text.size();
      break;
    }
    if (end == i || end - i > 4) {
      return false;
    }
    ++groups;
    i = end;
    if (i == text.size()) {
      break;
    }
    if (text[i] != ':') {
      return false;
    }
    ++i;
    if (i < text.size() && text[i] == ':') {
      if (doubleColon) {
        return false;
      }
      doubleColon = true;
      ++i;
    } else if (i == text.size()) {
      return false;  // a single ":" at the end
    }
  }
  return doubleColon ? groups <= 7 : groups == 8;
}

bool IsAddress(std::string_view text) {
  return IsIpv4Address(text) || IsIpv6Address(text);
}

std::optional<AddressValue> ReadAddressValue(std::string_view text) {
  if (const std::optional<std::uint32_t> quad = ReadQuad(text)) {
    return AddressValue{0, *quad};
  }
  if (!IsIpv6Address(text)) {
    return std::nullopt;
  }
  // Well formed from here: the groups before "::" fill from the left, those after it (and a
  // final dotted quad) from the right.
  std::uint16_t groups[8] = {};
  int count = 0;
  int gap = -1;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ':') {
      if (i + 1 < text.size() && text[i + 1] == ':') {
        gap = count;
        i += 2;
      } else {
        ++i;
      }
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && IsHexDigit(text[end])) {
      ++end;
    }
    if (end < text.size() && text[end] == '.') {
      const std::uint32_t quad = *ReadQuad(text.substr(i));
      groups[count++] = static_cast<std::uint16_t>(quad >> 16);
      groups[count++] = static_cast<std::uint16_t>(quad & 0xFFFF);
      break;
    }
    std::uint16_t group = 0;
    std::from_chars(text.data() + i, text.data() + end, group, 16);
    groups[count++] = group;
    i = end;
  }
  std::uint16_t full[8] = {};
  const int tail = gap < 0 ? 0 : count - gap;
  for (int k = 0; k < count; ++k) {
    full[gap >= 0 && k >= gap ? 8 - tail + (k - gap) : k] = groups[k];
  }
  AddressValue value;
  for (int k = 0; k < 4; ++k) {
    value.high = value.high << 16 | full[k];
    value.low = value.low << 16 | full[k + 4];
  }
  return value;
}

std::optional<PrefixText> ReadPrefix(std::string_view text) {
  const std::size_t slash = text.find('/');
  if (slash == std::string_view::npos || slash + 1 >= text.size() || text.size() - slash > 4) {
    return std::nullopt;
  }
  PrefixText prefix;
  prefix.address = text.substr(0, slash);
  const std::string_view digits = text.substr(slash + 1);
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, prefix.length);
  if (error != std::errc() || stop != end || digits[0] == '+' || digits[0] == '-' ||
      (digits[0] == '0' && digits.size() > 1)) {  // "/016": no router prints a leading zero
    return std::nullopt;
  }
  if (IsIpv4Address(prefix.address)) {
    prefix.afi = Afi::kIpv4;
    return prefix.length <= 32 ? std::optional(prefix) : std::nullopt;
  }
  if (IsIpv6Address(prefix.address)) {
    prefix.afi = Afi::kIpv6;
    return prefix.length <= 128 ? std::optional(prefix) : std::nullopt;
  }
  return std::nullopt;
}

std::optional<int> DottedMaskLength(std::string_view text) {
  const std::optional<std::uint32_t> mask = ReadQuad(text);
  const std::uint32_t inverted = mask ? ~*mask : 1u;
  if ((inverted & (inverted + 1)) != 0) {
    return std::nullopt;  // no mask, or ones that are not contiguous ("255.0.255.0")
  }
  int length = 0;
  while (length < 32 && (*mask >> (31 - length) & 1u) != 0) {
    ++length;
  }
  return length;
}

bool IsDottedMask(std::string_view text) {
  const std::optional<std::uint32_t> mask = ReadQuad(text);
  if (!mask) {
    return false;
  }
  const std::uint32_t inverted = ~*mask;
  return (inverted & (inverted + 1)) == 0 || (*mask >> 24) == 255;
}

}  // namespace kestrelon::tables
