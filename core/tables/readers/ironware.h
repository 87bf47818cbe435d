// The reader of Brocade/Extreme NetIron, IronWare ("show ip route").
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class IronwareReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
};

}  // namespace kestrelon::tables
