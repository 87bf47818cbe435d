// The reader of IIJ SEIL ("show status route", "show status route6"): one row per route, which
// wraps after its gateway when the gateway is wide; flags with "*" (a system route).
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class SeilReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
  std::span<const std::string_view> Marks() const override;
  bool IsOwnRouteLine(std::string_view line) const override;
};

}  // namespace kestrelon::tables
