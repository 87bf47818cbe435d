// The route diff as CSV (RFC 4180): a header line, then one row per change: change, vrf, afi,
// prefix, the fields that changed (";" between them), then protocol, flags, distance, metric,
// next hops (as the text report writes them) and uptime before, and the same after. The
// columns of a side without a record are empty. When a capture had lines not understood, a
// last row says how many: change "not_understood", fields "before K;after L".
#pragma once

#include <string>
#include <string_view>

#include "tables/byte_sink.h"
#include "tables/csv_output.h"
#include "tables/route_diff_sink.h"

namespace kestrelon::tables {

class CsvDiffWriter : public RouteDiffSink {
 public:
  explicit CsvDiffWriter(ByteSink& out) : csv_(out) {}
  // With a first column of its own ("device"), its value given by Lead.
  CsvDiffWriter(ByteSink& out, std::string leadColumn)
      : csv_(out), leadColumn_(std::move(leadColumn)) {}

  // Writes the header line (once, however many diffs follow).
  void Begin(const DiffSummary& summary) override;
  void Change(const RouteChangeEvent& change) override;
  void End() override;

  void WriteHeader();
  // The first column's value for the rows that follow.
  void Lead(std::string value) { lead_ = std::move(value); }
  // A row without a route: change, then text in the fields column.
  void Note(std::string_view change, std::string_view text);

 private:
  void Side(const RouteView* route);
  void StartRow();

  CsvOutput csv_;
  std::string leadColumn_;
  std::string lead_;
  bool headerWritten_ = false;
  std::size_t notUnderstoodBefore_ = 0;
  std::size_t notUnderstoodAfter_ = 0;
};

}  // namespace kestrelon::tables
