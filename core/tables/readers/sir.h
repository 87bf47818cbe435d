// The reader of Fujitsu Si-R ("show ip route").
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class SirReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
};

}  // namespace kestrelon::tables
