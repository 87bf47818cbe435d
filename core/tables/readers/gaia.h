// The reader of Check Point Gaia clish ("show route", "show ipv6 route"): IOS-like codes, then
// "via ADDR, IFACE, cost N, age N" or "is directly connected, IFACE"; a route's comment may
// follow on a line of its own.
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class GaiaReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
  std::span<const std::string_view> Marks() const override;
  bool IsOwnRouteLine(std::string_view line) const override;
};

}  // namespace kestrelon::tables
