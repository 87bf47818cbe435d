// The reader of Linux (iproute2 "ip route", net-tools "route -n", "netstat -rn").
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class LinuxReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
};

}  // namespace kestrelon::tables
