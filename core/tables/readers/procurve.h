// The reader of HPE ProCurve / ArubaOS-Switch ("show ip route", "show ipv6 route"): the
// "IP Route Entries" table (gateway or VLAN may be empty) and the IPv6 entries' key/value form.
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class ProcurveReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
  std::span<const std::string_view> Marks() const override;
  bool IsOwnRouteLine(std::string_view line) const override;
};

}  // namespace kestrelon::tables
