// The reader of Yamaha RTX ("show ip route", "show ipv6 route"): one row per path, columns
// destination, gateway, interface, kind and additional information, in English or Japanese.
#pragma once

#include "tables/table_reader.h"

namespace kestrelon::tables {

class YamahaReader : public TableReader {
 public:
  using TableReader::Read;
  void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const override;
  std::span<const std::string_view> Marks() const override;
  bool IsOwnRouteLine(std::string_view line) const override;
};

}  // namespace kestrelon::tables
