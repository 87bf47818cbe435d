// Writes routes as JSON, streaming: per capture {"source": FILE, "platform": NAME,
// "routes": [ … ], "reading": { … }} ("device" after the source for one device of a log of
// several), one route a line; several captures as one array of such objects.
#pragma once

#include <memory>
#include <string_view>

#include "tables/byte_sink.h"
#include "tables/line_accounting.h"
#include "tables/route_sink.h"
#include "tables/table_reader.h"

namespace kestrelon::tables {

class JsonRouteWriter : public RouteSink {
 public:
  // several: the captures are written as the elements of one array.
  JsonRouteWriter(ByteSink& out, bool several);
  ~JsonRouteWriter() override;

  // device: the host of a capture that is one device's part of a log of several, else empty.
  void BeginCapture(std::string_view source, Platform platform, std::string_view device = {});
  void Put(const RouteView& route) override;
  // A part is written into memory as it is read, and copied out when appended.
  std::unique_ptr<RouteSink> NewPart() override;
  void AppendPart(std::unique_ptr<RouteSink> part) override;
  // Ends the capture's object; with reading, it says how the capture was read.
  void EndCapture(const ReadingReport* reading = nullptr);
  // Ends the output (the array of several captures) and passes the last bytes on.
  void Finish();

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kestrelon::tables
