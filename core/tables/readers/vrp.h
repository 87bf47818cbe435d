// The reader of Huawei VRP ("display ip routing-table").
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class VrpReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
};

}  // namespace kestrelon::tables
