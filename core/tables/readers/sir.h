// The reader of Fujitsu Si-R ("show ip route", "show ipv6 route"): one row per route, the FP
// column's flag (selected "*", invalid "X", blank when not selected) before the protocol code.
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class SirReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
  std::span<const std::string_view> Marks() const override;
  bool IsOwnRouteLine(std::string_view line) const override;
};

}  // namespace kestrelon::tables
