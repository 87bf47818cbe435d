// The reader of Juniper Junos ("show route", "show route table X", "show route protocol P",
// "show route terse"): each [protocol/preference] entry of a destination is a route of its own.
#pragma once

#include <cstddef>

#include "tables/table_reader.h"

namespace kestrelon::tables {

class JunosReader : public TableReader {
 public:
  // A capture of parallelFrom bytes or more is read in two halves at once.
  explicit JunosReader(std::size_t parallelFrom = kParallelFrom) : parallelFrom_(parallelFrom) {}
  using TableReader::Read;
  // Destinations that are no address prefix (MPLS labels of mpls.0, route distinguishers of
  // bgp.l3vpn.0, interfaces of l2circuit.0) are counted as route lines but give no record.
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
  std::span<const std::string_view> Marks() const override;
  bool IsOwnRouteLine(std::string_view line) const override;

  static constexpr std::size_t kParallelFrom = std::size_t{8} << 20;

 private:
  std::size_t parallelFrom_;
};

}  // namespace kestrelon::tables
