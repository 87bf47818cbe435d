// The reader of the FRRouting, Quagga, VyOS, SONiC and EdgeOS family ("show ip route").
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class QuaggaReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
  std::span<const std::string_view> Marks() const override;
  bool IsOwnRouteLine(std::string_view line) const override;
};

}  // namespace kestrelon::tables
