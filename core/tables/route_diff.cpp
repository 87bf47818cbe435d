#include "tables/route_diff.h"

#include <algorithm>
#include <future>
#include <limits>
#include <map>
#include <memory>
#include <tuple>

#include "files/file_error.h"
#include "tables/diff_side.h"
#include "tables/ios_reader.h"
#include "tables/platform_detect.h"

namespace kestrelon::tables {
namespace {

constexpr std::uint32_t kNone = 0xFFFFFFFFu;

// A change the pairing found, by route index in each table.
struct Found {
  std::uint32_t before = kNone;
  std::uint32_t after = kNone;
  RouteFields fields;
  std::uint32_t vrf = 0;  // rank

  RouteChange change() const {
    return after == kNone    ? RouteChange::kRemoved
           : before == kNone ? RouteChange::kAdded
                             : RouteChange::kChanged;
  }
};

// Each side is read on a core of its own, so the reader does not split the capture again.
void ReadSide(const DiffCapture& capture, Platform platform, DiffSide& side) {
  side.Reserve(capture.text.size());
  if (platform == Platform::kIos) {
    IosReader(std::numeric_limits<std::size_t>::max()).Read(capture.text, side);
  } else {
    MakeReader(platform)->Read(capture.text, side);
  }
  CheckRoutesFound(capture.text, capture.name, platform, side.table().size());
  if (side.table().empty()) {
    throw FileError("diff", capture.name, 0, "no route in it");
  }
}

// The VRFs of the report in order ("default" first, then by name), only those asked for.
std::vector<std::string> ReportVrfs(const DiffSide& before, const DiffSide& after,
                                    const DiffOptions& options, const DiffCapture& source) {
  std::vector<std::string> names = before.vrfs();
  const std::vector<std::string> more = after.vrfs();
  names.insert(names.end(), more.begin(), more.end());
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return std::make_tuple(a != kDefaultVrf, std::string_view(a)) <
           std::make_tuple(b != kDefaultVrf, std::string_view(b));
  });
  names.erase(std::unique(names.begin(), names.end()), names.end());
  if (options.vrfs.empty()) {
    return names;
  }
  for (const std::string& wanted : options.vrfs) {
    if (std::find(names.begin(), names.end(), wanted) == names.end()) {
      throw FileError("diff VRF \"" + wanted + "\" of", source.name, 0,
                      "neither capture has a route in it");
    }
  }
  std::erase_if(names, [&](const std::string& name) {
    return std::find(options.vrfs.begin(), options.vrfs.end(), name) == options.vrfs.end();
  });
  return names;
}

// rank[id] of each VRF of side: its place in names, or left out.
std::vector<std::uint32_t> Ranks(const DiffSide& side, const std::vector<std::string>& names) {
  std::vector<std::uint32_t> rank;
  for (const std::string& vrf : side.vrfs()) {
    const auto at = std::find(names.begin(), names.end(), vrf);
    rank.push_back(at == names.end() ? DiffSide::kLeftOut
                                     : static_cast<std::uint32_t>(at - names.begin()));
  }
  return rank;
}

// The order of two keys, one of each side, without the route index.
int CompareKeys(const DiffSide::Key& b, const DiffSide::Key& a, const DiffSide& before,
                const DiffSide& after) {
  const auto order = std::make_tuple(b.vrf, b.afi, b.named, b.high, b.low, b.length) <=>
                     std::make_tuple(a.vrf, a.afi, a.named, a.high, a.low, a.length);
  if (order != 0) {
    return order < 0 ? -1 : 1;
  }
  if (b.named != 0) {
    const int text = before.Prefix(b.route).compare(after.Prefix(a.route));
    return text < 0 ? -1 : text > 0 ? 1 : 0;
  }
  return 0;
}

// Whether the parts proj picks from each next hop are the same, counted with repeats.
template <typename Project>
bool SameHopParts(std::span<const NextHopView> a, std::span<const NextHopView> b, Project proj) {
  if (a.size() != b.size()) {
    return false;
  }
  using Part = decltype(proj(a[0]));
  std::vector<Part> x;
  std::vector<Part> y;
  for (std::size_t i = 0; i < a.size(); ++i) {
    x.push_back(proj(a[i]));
    y.push_back(proj(b[i]));
  }
  std::sort(x.begin(), x.end());
  std::sort(y.begin(), y.end());
  return x == y;
}

bool SameHopsInOrder(std::span<const NextHopView> a, std::span<const NextHopView> b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const NextHopView& x, const NextHopView& y) {
                      return x.address == y.address && x.interface == y.interface && x.vrf == y.vrf;
                    });
}

// Pairs the ordered keys of two ranges, one of each side, and keeps what differs.
std::vector<Found> PairRange(const DiffSide& before, const DiffSide& after,
                             std::span<const DiffSide::Key> b, std::span<const DiffSide::Key> a,
                             RouteFields ignored) {
  std::vector<Found> found;
  std::vector<NextHopView> hopsBefore;
  std::vector<NextHopView> hopsAfter;
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < b.size() || j < a.size()) {
    const int order = i == b.size()   ? 1
                      : j == a.size() ? -1
                                      : CompareKeys(b[i], a[j], before, after);
    if (order < 0) {
      found.push_back({b[i].route, kNone, {}, b[i].vrf});
      ++i;
    } else if (order > 0) {
      found.push_back({kNone, a[j].route, {}, a[j].vrf});
      ++j;
    } else {
      RouteFields fields;
      const RouteTable& tb = before.table();
      const RouteTable& ta = after.table();
      if (tb.PackedFields(b[i].route) == ta.PackedFields(a[j].route)) {
        // Most routes: the same fields, byte for byte; only the uptime may differ.
        if (!ignored.Has(RouteField::kUptime) &&
            tb.PackedUptime(b[i].route) != ta.PackedUptime(a[j].route)) {
          fields.Add(RouteField::kUptime);
        }
      } else {
        fields =
            CompareRoutes(tb.At(b[i].route, hopsBefore), ta.At(a[j].route, hopsAfter), ignored);
      }
      if (!fields.Empty()) {
        found.push_back({b[i].route, a[j].route, fields, b[i].vrf});
      }
      ++i;
      ++j;
    }
  }
  return found;
}

// Pairs the ordered keys of both sides and keeps what differs; a large table in two halves at
// once, split where the keys of both sides are apart.
std::vector<Found> Pair(const DiffSide& before, const DiffSide& after, RouteFields ignored) {
  const std::span<const DiffSide::Key> b = before.keys();
  const std::span<const DiffSide::Key> a = after.keys();
  constexpr std::size_t kParallelFrom = 100000;
  if (b.size() < kParallelFrom || a.empty()) {
    return PairRange(before, after, b, a, ignored);
  }
  // The split falls before the first of the routes with the middle route's key.
  std::size_t mid = b.size() / 2;
  const auto sameKey = [&](const DiffSide::Key& x, const DiffSide::Key& y) {
    return x.vrf == y.vrf && x.afi == y.afi && x.named == y.named && x.high == y.high &&
           x.low == y.low && x.length == y.length &&
           (x.named == 0 || before.Prefix(x.route) == before.Prefix(y.route));
  };
  while (mid > 0 && sameKey(b[mid - 1], b[mid])) {
    --mid;
  }
  const auto firstNotBefore = std::partition_point(a.begin(), a.end(), [&](const auto& key) {
    return CompareKeys(b[mid], key, before, after) > 0;
  });
  const auto j = static_cast<std::size_t>(firstNotBefore - a.begin());
  std::future<std::vector<Found>> second = std::async(std::launch::async, [&] {
    return PairRange(before, after, b.subspan(mid), a.subspan(j), ignored);
  });
  std::vector<Found> found = PairRange(before, after, b.first(mid), a.first(j), ignored);
  std::vector<Found> rest = second.get();
  found.insert(found.end(), rest.begin(), rest.end());
  return found;
}

void AddChange(DiffCounts& counts, RouteChange change) {
  (change == RouteChange::kRemoved ? counts.removed
   : change == RouteChange::kAdded ? counts.added
                                   : counts.changed) += 1;
}

DiffSummary Summarize(const DiffSide& before, const DiffSide& after,
                      const std::vector<std::string>& vrfs, const std::vector<Found>& found) {
  DiffSummary summary;
  const std::vector<std::uint32_t> rankBefore = Ranks(before, vrfs);
  const std::vector<std::uint32_t> rankAfter = Ranks(after, vrfs);
  summary.vrfs.reserve(vrfs.size());
  for (const std::string& vrf : vrfs) {
    summary.vrfs.emplace_back(vrf, DiffCounts());
  }
  std::map<std::string, DiffCounts, std::less<>> protocols;
  for (std::uint32_t id = 0; id < rankBefore.size(); ++id) {
    if (rankBefore[id] != DiffSide::kLeftOut) {
      summary.vrfs[rankBefore[id]].second.before += before.vrfCounts()[id];
    }
  }
  for (std::uint32_t id = 0; id < rankAfter.size(); ++id) {
    if (rankAfter[id] != DiffSide::kLeftOut) {
      summary.vrfs[rankAfter[id]].second.after += after.vrfCounts()[id];
    }
  }
  for (const auto& [key, count] : before.protocolCounts()) {
    if (rankBefore[key.first] != DiffSide::kLeftOut) {
      protocols[key.second].before += count;
    }
  }
  for (const auto& [key, count] : after.protocolCounts()) {
    if (rankAfter[key.first] != DiffSide::kLeftOut) {
      protocols[key.second].after += count;
    }
  }
  std::vector<NextHopView> hops;
  for (const Found& change : found) {
    AddChange(summary.vrfs[change.vrf].second, change.change());
    std::string_view protocolBefore;
    if (change.before != kNone) {
      protocolBefore = before.table().At(change.before, hops).protocol;
      AddChange(protocols[std::string(protocolBefore)], change.change());
    }
    if (change.after != kNone) {
      const std::string_view protocolAfter = after.table().At(change.after, hops).protocol;
      if (change.before == kNone || protocolAfter != protocolBefore) {
        AddChange(protocols[std::string(protocolAfter)], change.change());
      }
    }
  }
  for (const auto& [vrf, counts] : summary.vrfs) {
    summary.total.before += counts.before;
    summary.total.after += counts.after;
    summary.total.removed += counts.removed;
    summary.total.added += counts.added;
    summary.total.changed += counts.changed;
  }
  summary.protocols.assign(protocols.begin(), protocols.end());
  return summary;
}

}  // namespace

RouteFields CompareRoutes(const RouteView& before, const RouteView& after, RouteFields ignored) {
  RouteFields changed;
  const auto check = [&](RouteField field, bool differs) {
    if (differs && !ignored.Has(field)) {
      changed.Add(field);
    }
  };
  check(RouteField::kProtocol, before.protocol != after.protocol);
  check(RouteField::kDistance, before.distance != after.distance);
  check(RouteField::kMetric, before.metric != after.metric);
  check(RouteField::kFlags, before.flags != after.flags);
  check(RouteField::kUptime, before.uptime != after.uptime);
  if (!SameHopsInOrder(before.nextHops, after.nextHops)) {
    const bool addresses = SameHopParts(before.nextHops, after.nextHops, [](const NextHopView& h) {
      return std::make_pair(h.address, h.vrf);
    });
    const bool interfaces = SameHopParts(before.nextHops, after.nextHops,
                                         [](const NextHopView& h) { return h.interface; });
    // The same addresses and interfaces, paired otherwise: the interfaces changed.
    const bool pairing = !addresses || ignored.Has(RouteField::kNextHops) ||
                         SameHopParts(before.nextHops, after.nextHops, [](const NextHopView& h) {
                           return std::make_tuple(h.address, h.vrf, h.interface);
                         });
    check(RouteField::kNextHops, !addresses);
    check(RouteField::kInterface, !interfaces || !pairing);
  }
  return changed;
}

std::size_t DiffRouteCaptures(const DiffCapture& before, const DiffCapture& after,
                              const DiffOptions& options, RouteDiffSink& sink) {
  const Platform platformBefore = ChoosePlatform(before.text, before.name, options.platform);
  const Platform platformAfter = ChoosePlatform(after.text, after.name, options.platform);

  DiffSide sideBefore;
  DiffSide sideAfter;
  {
    std::future<void> reading =
        std::async(std::launch::async, [&] { ReadSide(after, platformAfter, sideAfter); });
    ReadSide(before, platformBefore, sideBefore);
    reading.get();
  }

  const std::vector<std::string> vrfs = ReportVrfs(sideBefore, sideAfter, options, before);
  {
    std::future<void> ordering =
        std::async(std::launch::async, [&] { sideAfter.Order(Ranks(sideAfter, vrfs)); });
    sideBefore.Order(Ranks(sideBefore, vrfs));
    ordering.get();
  }

  const std::vector<Found> found = Pair(sideBefore, sideAfter, options.ignored);
  DiffSummary summary = Summarize(sideBefore, sideAfter, vrfs, found);
  summary.beforeSource = before.source;
  summary.afterSource = after.source;
  summary.beforePlatform = platformBefore;
  summary.afterPlatform = platformAfter;
  summary.ignored = options.ignored;
  sink.Begin(summary);

  std::vector<NextHopView> hopsBefore;
  std::vector<NextHopView> hopsAfter;
  for (const Found& change : found) {
    RouteView routeBefore;
    RouteView routeAfter;
    RouteChangeEvent event;
    event.change = change.change();
    event.fields = change.fields;
    if (change.before != kNone) {
      routeBefore = sideBefore.table().At(change.before, hopsBefore);
      event.before = &routeBefore;
    }
    if (change.after != kNone) {
      routeAfter = sideAfter.table().At(change.after, hopsAfter);
      event.after = &routeAfter;
    }
    sink.Change(event);
  }
  sink.End();
  return found.size();
}

}  // namespace kestrelon::tables
