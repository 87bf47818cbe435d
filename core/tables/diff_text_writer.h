// The route diff as a report for people: the summary (the captures, what was ignored, the
// counts in all, per VRF and per protocol), then the changes grouped by VRF, each with its
// records before and after. Lines end with CR LF.
#pragma once

#include <string>

#include "tables/byte_sink.h"
#include "tables/route_diff_sink.h"

namespace kestrelon::tables {

class TextDiffWriter : public RouteDiffSink {
 public:
  explicit TextDiffWriter(ByteSink& out) : out_(out) {}

  void Begin(const DiffSummary& summary) override;
  void Change(const RouteChangeEvent& change) override;
  void End() override;

 private:
  void Flush();

  ByteSink& out_;
  std::string text_;
  std::string vrf_;
  bool grouped_ = false;  // a VRF's heading was written
};

}  // namespace kestrelon::tables
