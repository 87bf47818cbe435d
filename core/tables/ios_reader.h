// The reader of IOS and IOS-XE ("show ip route", "show ipv6 route", "show ip route vrf *"):
// classful headers whose length the entries under them inherit, the flags of column 5,
// "Routing Table:" sections, wrapped and multi-path entries, the terminal repairs of staging.
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class IosReader : public TableReader {
 public:
  void Read(std::string_view capture, RouteSink& sink) const override;
};

}  // namespace kestrelon::tables
