// The reader of Huawei VRP ("display ip routing-table [vpn-instance X] [verbose]",
// "display ipv6 routing-table").
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class VrpReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
  std::span<const std::string_view> Marks() const override;
  bool IsOwnRouteLine(std::string_view line) const override;
};

}  // namespace kestrelon::tables
