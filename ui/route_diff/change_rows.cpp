#include "ui/route_diff/change_rows.h"

namespace kestrelon::ui::route_diff {
namespace {

std::optional<std::string> Own(tables::OptionalText text) {
  return text ? std::optional<std::string>(*text) : std::nullopt;
}

tables::OptionalText See(const std::optional<std::string>& text) {
  return text ? tables::OptionalText(*text) : std::nullopt;
}

}  // namespace

RouteCopy RouteCopy::Of(const tables::RouteView& route) {
  RouteCopy copy{std::string(route.vrf),
                 route.afi,
                 std::string(route.protocol),
                 std::string(route.flags),
                 std::string(route.prefix),
                 route.distance,
                 route.metric,
                 {},
                 Own(route.uptime),
                 route.source,
                 route.selected};
  copy.hops.reserve(route.nextHops.size());
  for (const tables::NextHopView& hop : route.nextHops) {
    copy.hops.push_back({Own(hop.address), Own(hop.interface), Own(hop.vrf)});
  }
  return copy;
}

tables::RouteView RouteCopy::View(std::vector<tables::NextHopView>& hopViews) const {
  hopViews.clear();
  for (const HopCopy& hop : hops) {
    hopViews.push_back({See(hop.address), See(hop.interface), See(hop.vrf)});
  }
  tables::RouteView view;
  view.vrf = vrf;
  view.afi = afi;
  view.protocol = protocol;
  view.flags = flags;
  view.prefix = prefix;
  view.distance = distance;
  view.metric = metric;
  view.nextHops = hopViews;
  view.uptime = See(uptime);
  view.source = source;
  view.selected = selected;
  return view;
}

void ChangeCollector::Begin(const tables::DiffSummary& summary) {
  result_.summary = summary;
  if (summaryOnly_ || cancel_.load(std::memory_order_relaxed)) {
    throw DiffCancelled{};
  }
  result_.rows.reserve(summary.total.Changes());
  progress_.expected = summary.total.Changes();
}

void ChangeCollector::Change(const tables::RouteChangeEvent& change) {
  if (cancel_.load(std::memory_order_relaxed)) {
    throw DiffCancelled{};
  }
  ChangeRow row;
  row.change = change.change;
  row.fields = change.fields;
  if (change.before != nullptr) {
    row.before = RouteCopy::Of(*change.before);
  }
  if (change.after != nullptr) {
    row.after = RouteCopy::Of(*change.after);
  }
  if (const auto prefix = tables::ReadPrefix(change.route().prefix)) {
    row.network = tables::ReadAddressValue(prefix->address);
    row.length = prefix->length;
  }
  result_.rows.push_back(std::move(row));
  progress_.done.fetch_add(1, std::memory_order_relaxed);
}

void Replay(const tables::DiffSummary& summary, const std::vector<ChangeRow>& rows,
            const std::vector<std::uint32_t>& order, tables::RouteDiffSink& sink) {
  sink.Begin(summary);
  std::vector<tables::NextHopView> hopsBefore;
  std::vector<tables::NextHopView> hopsAfter;
  for (const std::uint32_t index : order) {
    const ChangeRow& row = rows[index];
    tables::RouteView before;
    tables::RouteView after;
    tables::RouteChangeEvent event;
    event.change = row.change;
    event.fields = row.fields;
    if (row.before) {
      before = row.before->View(hopsBefore);
      event.before = &before;
    }
    if (row.after) {
      after = row.after->View(hopsAfter);
      event.after = &after;
    }
    sink.Change(event);
  }
  sink.End();
}

}  // namespace kestrelon::ui::route_diff
