// The words (kept as views) and comma fields of a table row and its destination, for the platforms
// that print a route's parts in columns or comma lists (Yamaha RTX, Si-R, SEIL, ProCurve, AOS-CX,
// Gaia).
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "files/text_fields.h"
#include "tables/address_text.h"
#include "tables/row_words.h"

namespace kestrelon::tables {

// The first N blank-separated words of a line; more says whether further words follow.
template <std::size_t N>
struct RowColumns {
  std::array<std::string_view, N> word{};
  std::size_t count = 0;
  bool more = false;

  std::string_view operator[](std::size_t i) const { return i < count ? word[i] : ""; }
};

template <std::size_t N>
RowColumns<N> SplitRow(std::string_view line) {
  RowColumns<N> row;
  std::size_t at = 0;
  while (true) {
    while (at < line.size() && files::IsBlankChar(line[at])) {
      ++at;
    }
    if (at == line.size()) {
      return row;
    }
    if (row.count == N) {
      row.more = true;
      return row;
    }
    std::size_t end = at;
    while (end < line.size() && !files::IsBlankChar(line[end])) {
      ++end;
    }
    row.word[row.count++] = line.substr(at, end - at);
    at = end;
  }
}

// Splits off the next comma-separated field of text, blanks trimmed ("via 10.1.1.1, eth0").
inline std::string_view NextCommaField(std::string_view& text) {
  const std::size_t comma = text.find(',');
  const std::string_view field = files::TrimBlanks(text.substr(0, comma));
  text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
  return field;
}

// The text of line from word (a view into it) to its end.
inline std::string_view RestOfRow(std::string_view line, std::string_view word) {
  return word.empty() ? std::string_view()
                      : line.substr(static_cast<std::size_t>(word.data() - line.data()));
}

// A destination as a row prints it: "10.1.0.0/16", a host address without its length, or
// "default" (of family defaultAfi).
struct RowDestination {
  Afi afi = Afi::kIpv4;
  std::string_view address;
  int length = 0;
};

inline std::optional<RowDestination> ReadRowDestination(std::string_view word, Afi defaultAfi) {
  if (word == "default") {
    return defaultAfi == Afi::kIpv6 ? RowDestination{Afi::kIpv6, "::", 0}
                                    : RowDestination{Afi::kIpv4, "0.0.0.0", 0};
  }
  if (const std::optional<PrefixText> prefix = ReadPrefix(word)) {
    return RowDestination{prefix->afi, prefix->address, prefix->length};
  }
  if (IsIpv4Address(word)) {
    return RowDestination{Afi::kIpv4, word, 32};
  }
  if (IsIpv6Address(word)) {
    return RowDestination{Afi::kIpv6, word, 128};
  }
  return std::nullopt;
}

// A gateway column's address without its zone ("fe80::1%lan0"), or none when it is no address.
inline std::optional<std::string_view> RowGatewayAddress(std::string_view word) {
  word = word.substr(0, word.find('%'));
  return IsAddress(word) ? std::optional(word) : std::nullopt;
}

}  // namespace kestrelon::tables
