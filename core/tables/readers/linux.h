// The reader of Linux: iproute2 "ip route" (any table, IPv4 and IPv6, multipath), net-tools
// "route -n" / "route -6" and "netstat -rn".
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class LinuxReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
  std::span<const std::string_view> Marks() const override;
  bool IsOwnRouteLine(std::string_view line) const override;
};

}  // namespace kestrelon::tables
