// The reader of MikroTik RouterOS ("/ip route print", "/ipv6 route print", as a table, "terse"
// or "detail", of v6 and v7).
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class RouterosReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
  std::span<const std::string_view> Marks() const override;
  bool IsOwnRouteLine(std::string_view line) const override;
};

}  // namespace kestrelon::tables
