// The reader of Aruba AOS-CX ("show ip route [all-vrfs]", "show ipv6 route"): a "PREFIX, vrf
// NAME" line then one "via TARGET, [d/m], protocol" line per path; and the table of later
// releases (prefix, next hop, interface, egress VRF, origin/type, [d/m], age).
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class AoscxReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
  std::span<const std::string_view> Marks() const override;
  bool IsOwnRouteLine(std::string_view line) const override;
};

}  // namespace kestrelon::tables
