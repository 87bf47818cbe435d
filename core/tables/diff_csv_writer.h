// The route diff as CSV (RFC 4180): a header line, then one row per change: change, vrf, afi,
// prefix, the fields that changed (";" between them), then protocol, flags, distance, metric,
// next hops (as the text report writes them) and uptime before, and the same after. The
// columns of a side without a record are empty. When a capture had lines not understood, a
// last row says how many: change "not_understood", fields "before K;after L".
#pragma once

#include "tables/byte_sink.h"
#include "tables/csv_output.h"
#include "tables/route_diff_sink.h"

namespace kestrelon::tables {

class CsvDiffWriter : public RouteDiffSink {
 public:
  explicit CsvDiffWriter(ByteSink& out) : csv_(out) {}

  // Writes the header line.
  void Begin(const DiffSummary& summary) override;
  void Change(const RouteChangeEvent& change) override;
  void End() override;

 private:
  void Side(const RouteView* route);

  CsvOutput csv_;
  std::size_t notUnderstoodBefore_ = 0;
  std::size_t notUnderstoodAfter_ = 0;
};

}  // namespace kestrelon::tables
