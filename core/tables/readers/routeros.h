// The reader of MikroTik RouterOS ("/ip route print").
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class RouterosReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
};

}  // namespace kestrelon::tables
