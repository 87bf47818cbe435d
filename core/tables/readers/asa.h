// The reader of ASA ("show route"): dotted masks, object names for destinations and next hops.
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class AsaReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
};

}  // namespace kestrelon::tables
