// The reader of NX-OS ("show ip route", "show ipv6 route").
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class NxosReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
};

}  // namespace kestrelon::tables
