// The reader of Linux: iproute2 "ip route" (any table, IPv4 and IPv6, multipath), net-tools
// "route -n" / "route -6" and "netstat -rn".
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class LinuxReader : public TableReader {
 public:
  static constexpr std::size_t kParallelFrom = std::size_t{8} << 20;
  // A capture of parallelFrom bytes or more is read in two halves at once.
  explicit LinuxReader(std::size_t parallelFrom = kParallelFrom) : parallelFrom_(parallelFrom) {}

  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
  std::span<const std::string_view> Marks() const override;
  bool IsOwnRouteLine(std::string_view line) const override;

 private:
  std::size_t parallelFrom_;
};

}  // namespace kestrelon::tables
