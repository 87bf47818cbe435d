// The reader of FortiOS ("get router info routing-table all").
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class FortiosReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
  std::span<const std::string_view> Marks() const override;
};

}  // namespace kestrelon::tables
