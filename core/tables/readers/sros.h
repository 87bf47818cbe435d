// The reader of Nokia SR OS ("show router route-table").
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class SrosReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
};

}  // namespace kestrelon::tables
