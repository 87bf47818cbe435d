// The reader of IOS-XR ("show route", "show route ipv6", "show route vrf all").
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class IosXrReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
};

}  // namespace kestrelon::tables
