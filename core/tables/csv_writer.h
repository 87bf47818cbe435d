// Writes routes as CSV (RFC 4180): a header line, then one row per next hop (a route without
// one gets one row with the next-hop columns empty). Every text field is quoted; an absent
// value is an empty field, so "" (an empty text) and nothing stay apart.
#pragma once

#include <string>
#include <string_view>

#include "tables/byte_sink.h"
#include "tables/csv_output.h"
#include "tables/route_sink.h"
#include "tables/table_reader.h"

namespace kestrelon::tables {

class CsvRouteWriter : public RouteSink {
 public:
  // Writes the header line.
  explicit CsvRouteWriter(ByteSink& out);

  void BeginCapture(std::string_view source, Platform platform);
  void Put(const RouteView& route) override;
  // Passes the last bytes on.
  void Finish();

 private:
  CsvOutput csv_;
  std::string source_;
  Platform platform_ = Platform::kIos;
};

}  // namespace kestrelon::tables
