// The reader of IOS and IOS-XE ("show ip route", "show ipv6 route", "show ip route vrf *"):
// classful headers whose length the entries under them inherit, the flags of column 5,
// "Routing Table:" sections, wrapped and multi-path entries, the terminal repairs of staging.
#pragma once

#include <cstddef>

#include "tables/table_reader.h"

namespace kestrelon::tables {

class IosReader : public TableReader {
 public:
  // A capture of parallelFrom bytes or more is read in two halves at once.
  explicit IosReader(std::size_t parallelFrom = kParallelFrom) : parallelFrom_(parallelFrom) {}
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;

  static constexpr std::size_t kParallelFrom = std::size_t{8} << 20;

 private:
  std::size_t parallelFrom_;
};

}  // namespace kestrelon::tables
