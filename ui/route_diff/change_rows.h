// The changes of a route diff kept for the window: each event of the core's diff copied into a
// row of its own (the events' views live only during the call), and turned back into an event
// for the report writers.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tables/address_text.h"
#include "tables/route_diff_sink.h"

namespace kestrelon::ui::route_diff {

struct HopCopy {
  std::optional<std::string> address;
  std::optional<std::string> interface;
  std::optional<std::string> vrf;
};

struct RouteCopy {
  std::string vrf;
  tables::Afi afi = tables::Afi::kIpv4;
  std::string protocol;
  std::string flags;
  std::string prefix;
  std::optional<std::uint32_t> distance;
  std::optional<std::uint64_t> metric;
  std::vector<HopCopy> hops;
  std::optional<std::string> uptime;
  tables::RouteSource source = tables::RouteSource::kOther;
  std::optional<bool> selected;

  static RouteCopy Of(const tables::RouteView& route);
  // The record as a view; hopViews holds its next hops and must outlive it.
  tables::RouteView View(std::vector<tables::NextHopView>& hopViews) const;
};

struct ChangeRow {
  tables::RouteChange change = tables::RouteChange::kChanged;
  tables::RouteFields fields;
  std::optional<RouteCopy> before;
  std::optional<RouteCopy> after;
  // The prefix as a number, for "routes inside" searches; none when it does not read as one.
  std::optional<tables::AddressValue> network;
  int length = 0;

  const RouteCopy& route() const { return before ? *before : *after; }
};

struct DiffResult {
  tables::DiffSummary summary;
  std::vector<ChangeRow> rows;  // in the core's order
};

// How far a diff has come, read by the window while a worker writes it.
struct DiffProgress {
  std::atomic<std::size_t> expected{0};  // the changes, once the summary is known
  std::atomic<std::size_t> done{0};      // the changes kept so far
};

// Thrown by the collector when the reading was called off.
struct DiffCancelled {};

// A sink that keeps every change. It stops the diff (DiffCancelled) as soon as cancel is set,
// and counts its progress for a progress display.
class ChangeCollector : public tables::RouteDiffSink {
 public:
  ChangeCollector(DiffResult& result, const std::atomic<bool>& cancel, DiffProgress& progress,
                  bool summaryOnly)
      : result_(result), cancel_(cancel), progress_(progress), summaryOnly_(summaryOnly) {}

  void Begin(const tables::DiffSummary& summary) override;
  void Change(const tables::RouteChangeEvent& change) override;
  void End() override {}

 private:
  DiffResult& result_;
  const std::atomic<bool>& cancel_;
  DiffProgress& progress_;
  bool summaryOnly_;
};

// Hands the rows to sink as the core's diff would: Begin, each row in order, End.
void Replay(const tables::DiffSummary& summary, const std::vector<ChangeRow>& rows,
            const std::vector<std::uint32_t>& order, tables::RouteDiffSink& sink);

}  // namespace kestrelon::ui::route_diff
