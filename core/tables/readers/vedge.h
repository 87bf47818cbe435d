// The reader of Cisco SD-WAN vEdge ("show ip routes").
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class VedgeReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
};

}  // namespace kestrelon::tables
