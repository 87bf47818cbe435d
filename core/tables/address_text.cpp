#include "tables/address_text.h"

#include <charconv>
#include <cstdint>

namespace kestrelon::tables {
namespace {

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The four octets of a dotted quad, or none.
std::optional<std::uint32_t> ReadQuad(std::string_view text) {
  std::uint32_t value = 0;
  for (int octet = 0; octet < 4; ++octet) {
    std::size_t digits = 0;
    std::uint32_t number = 0;
    while (digits < text.size() && digits < 4 && text[digits] >= '0' && text[digits] <= '9') {
      number = number * 10 + static_cast<std::uint32_t>(text[digits] - '0');
      ++digits;
    }
    if (digits == 0 || digits > 3 || number > 255) {
      return std::nullopt;
    }
    value = value << 8 | number;
    text.remove_prefix(digits);
    if (octet < 3) {
      if (text.empty() || text[0] != '.') {
        return std::nullopt;
      }
      text.remove_prefix(1);
    }
  }
  if (!text.empty()) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

bool IsIpv4Address(std::string_view text) {
  // The common case, by hand: four octets of digits and three dots.
  int dots = 0;
  int digits = 0;
  int octet = 0;
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      octet = octet * 10 + (c - '0');
      if (++digits > 3 || octet > 255) {
        return false;
      }
    } else if (c == '.' && digits > 0 && ++dots <= 3) {
      digits = 0;
      octet = 0;
    } else {
      return false;
    }
  }
  return dots == 3 && digits > 0;
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
  if (error != std::errc() || stop != end || digits[0] == '+' || digits[0] == '-') {
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
  if (!mask) {
    return std::nullopt;
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
