// Writes routes as aligned text, one line a route: VRF, protocol, flags, prefix,
// [distance/metric], the next hops ("10.1.1.2 Gi0/0; 10.1.1.3 Gi0/1"), uptime. Each capture's
// routes are held until its end so that its columns line up; several captures each get a
// heading line "==> FILE (platform) <==".
#pragma once

#include <string>
#include <string_view>

#include "tables/byte_sink.h"
#include "tables/route_table.h"
#include "tables/table_reader.h"

namespace kestrelon::tables {

// "[110/20]", "[110/-]" when only one of the two is printed, "" when neither.
std::string CostText(const RouteView& route);
// The next hops in one text: "10.1.1.2 Gi0/0; 10.1.1.3 (red) Gi0/1; Null0"; IPv6 addresses as
// printed, or with canonical in their RFC 5952 form.
std::string NextHopsText(const RouteView& route, bool canonical = false);

class TextRouteWriter : public RouteSink {
 public:
  TextRouteWriter(ByteSink& out, bool several) : out_(out), several_(several) {}

  void BeginCapture(std::string_view source, Platform platform);
  void Put(const RouteView& route) override { table_.Put(route); }
  void EndCapture();

 private:
  ByteSink& out_;
  bool several_;
  std::size_t captures_ = 0;
  RouteTable table_;
};

}  // namespace kestrelon::tables
