// The reader of Brocade/Extreme NetIron and FastIron, IronWare ("show ip route", "show ipv6
// route", "show ip route vrf X"): numbered rows of destination, gateway, port, Dist/Metric and
// a type code.
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class IronwareReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
  std::span<const std::string_view> Marks() const override;
  bool IsOwnRouteLine(std::string_view line) const override;
};

}  // namespace kestrelon::tables
