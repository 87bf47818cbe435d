// The reader of Cisco SD-WAN vEdge, Viptela OS ("show ip routes", "show ipv6 routes"): one
// wide row per path, its VPN first (kept as the VRF), its status flags last.
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class VedgeReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
  std::span<const std::string_view> Marks() const override;
  bool IsOwnRouteLine(std::string_view line) const override;
};

}  // namespace kestrelon::tables
