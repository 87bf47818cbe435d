// The reader of HPE ProCurve / ArubaOS-Switch ("show ip route").
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class ProcurveReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
};

}  // namespace kestrelon::tables
