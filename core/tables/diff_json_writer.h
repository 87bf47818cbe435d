// The route diff as JSON: {"before": FILE, "after": FILE, "summary": {…}, "changes": [{"vrf",
// "afi", "prefix", "change", "fields", "before", "after"}, …]}, one change a line, the records
// before and after exactly as `routes` writes them (null where there is none).
#pragma once

#include "tables/byte_sink.h"
#include "tables/json_output.h"
#include "tables/route_diff_sink.h"

namespace kestrelon::tables {

class JsonDiffWriter : public RouteDiffSink {
 public:
  explicit JsonDiffWriter(ByteSink& out) : json_(out) {}

  void Begin(const DiffSummary& summary) override;
  void Change(const RouteChangeEvent& change) override;
  void End() override;

 private:
  void Counts(const DiffCounts& counts);

  JsonOutput json_;
  std::size_t changes_ = 0;
};

}  // namespace kestrelon::tables
