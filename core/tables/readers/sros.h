// The reader of Nokia SR OS ("show router route-table", "show router <service> route-table",
// classic CLI and MD-CLI): two lines per path, the destination with its type, protocol, age
// and preference, then the next hop with its metric.
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class SrosReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
  std::span<const std::string_view> Marks() const override;
  bool IsOwnRouteLine(std::string_view line) const override;
};

}  // namespace kestrelon::tables
