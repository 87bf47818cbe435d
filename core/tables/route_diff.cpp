#include "tables/route_diff.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>

#include "files/file_error.h"
#include "tables/address_text.h"
#include "tables/capture_reading.h"
#include "tables/diff_side.h"
#include "tables/diff_stream.h"
#include "tables/interface_name.h"
#include "tables/platform_detect.h"
#include "tables/stream_pairing.h"

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

// Where the two sides' readings meet once each is placed: a diff across two platforms counts
// and keeps routes otherwise (DiffStream::AcrossPlatforms), so neither side reads a route
// before both are placed. A side that fails before it is placed counts as placed nowhere.
class Placements {
 public:
  void Set(int side, std::optional<Platform> platform) {
    {
      const std::lock_guard<std::mutex> hold(lock_);
      if (set_[side]) {
        return;
      }
      set_[side] = true;
      platform_[side] = platform;
    }
    changed_.notify_all();
  }
  std::optional<Platform> Other(int side) {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [&] { return set_[1 - side]; });
    return platform_[1 - side];
  }

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  std::array<bool, 2> set_{};
  std::array<std::optional<Platform>, 2> platform_;
};

// A capture cleaned, split and placed before it is read, kept for its reading.
struct Prepared {
  std::optional<CaptureReading> reading;
  std::optional<Placement> placement;  // none: it cannot be placed (its reading says why)
};

// Fills in prepared (a reading stays where it is made: its parts point into it).
void Prepare(const DiffCapture& capture, std::optional<Platform> given, Prepared& prepared) {
  try {
    prepared.reading.emplace(capture.text);
    prepared.placement =
        prepared.reading->Place(prepared.reading->parts().front(), capture.name, given);
  } catch (const FileError&) {
  }
}

// Each side is placed, read and checked on a thread of its own (the reader does not split the
// capture again). However the reading ends, the stream is closed, so that the pairing never
// waits for it in vain; a side that fails cancels the other, whose routes are then of no use.
// A log that went from one device to the next is refused: a diff compares one device's tables
// (devices that printed none, a jump host on the way, are passed over).
ReadingReport ReadSide(const DiffCapture& capture, std::optional<Platform> given,
                       DiffStream& stream, DiffStream& other, Placements& placements, int side,
                       const Prepared* prepared = nullptr) {
  struct Closing {
    DiffStream& stream;
    Placements& placements;
    int side;
    ~Closing() {
      placements.Set(side, std::nullopt);
      stream.Close();
    }
  } closing{stream, placements, side};
  try {
    ReadingReport report;
    // Lines the caller's own cleaning recognised; CaptureReading marks those of its own.
    for (const auto& [line, kind] : capture.knownLines) {
      report.lines.Preset(line, kind);
    }
    std::optional<CaptureReading> own;
    const CaptureReading& reading =
        prepared && prepared->reading ? *prepared->reading : own.emplace(capture.text);
    if (reading.severalDevices()) {
      std::string devices;
      for (const DevicePart& part : reading.parts()) {
        devices.append(devices.empty() ? "" : ", ").append(part.device);
      }
      throw FileError("diff", capture.name, 0,
                      "it holds the tables of " + std::to_string(reading.parts().size()) +
                          " devices (" + devices +
                          "); give the captures of one device (routes reads such a log device by "
                          "device)");
    }
    const DevicePart& part = reading.parts().front();
    const Placement placement = prepared && prepared->placement
                                    ? *prepared->placement
                                    : reading.Place(part, capture.name, given);
    placements.Set(side, placement.platform);
    if (const std::optional<Platform> theirs = placements.Other(side);
        theirs && *theirs != placement.platform) {
      stream.AcrossPlatforms();
    }
    reading.Read(part, placement, stream, report, false);
    // A capture without a route cannot be compared.
    CheckRoutesFound(part.text, capture.name, report.platform, stream.routes());
    if (stream.routes() == 0) {
      throw FileError("diff", capture.name, 0, "no route in it");
    }
    if (capture.release) {
      capture.release();
    }
    return report;
  } catch (...) {
    other.Cancel();
    throw;
  }
}

// Under strict reading, a capture with a line not understood cannot be compared: what that
// line held is not in the diff.
void CheckUnderstood(const ReadingReport& report, const DiffCapture& capture) {
  if (report.lines.notUnderstood() == 0) {
    return;
  }
  const LineExample& first = report.lines.examples().front();
  const std::size_t count = report.lines.notUnderstood();
  throw FileError("diff", capture.name, 0,
                  std::to_string(count) + (count == 1 ? " line" : " lines") +
                      " not understood as " + std::string(PlatformName(report.platform)) +
                      ", the first line " + std::to_string(first.line) + ": " + first.text);
}

// The VRFs of the report in order ("default" first, then by name), only those asked for.
std::vector<std::string> ReportVrfs(const DiffStream& before, const DiffStream& after,
                                    const DiffOptions& options, const DiffCapture& source) {
  std::vector<std::string> names;
  for (const DiffStream* stream : {&before, &after}) {
    for (const auto& [name, count] : stream->VrfCounts()) {
      names.push_back(name);
    }
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return CompareVrfNames(a, b) < 0; });
  names.erase(std::unique(names.begin(), names.end()), names.end());
  if (options.vrfs.empty()) {
    return names;
  }
  for (const std::string& wanted : options.vrfs) {
    if (!options.vrfsMayBeMissing && std::find(names.begin(), names.end(), wanted) == names.end()) {
      throw FileError("diff VRF \"" + wanted + "\" of", source.name, 0,
                      "neither capture has a route in it");
    }
  }
  std::erase_if(names, [&](const std::string& name) {
    return std::find(options.vrfs.begin(), options.vrfs.end(), name) == options.vrfs.end();
  });
  return names;
}

// The place of each VRF of the report, by name: looked up once a VRF and a protocol, so a
// capture of a million VRFs takes no longer per VRF than one of ten.
using VrfPlaces = std::unordered_map<std::string_view, std::uint32_t>;

VrfPlaces PlacesOf(const std::vector<std::string>& names) {
  VrfPlaces places;
  places.reserve(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    places.emplace(names[i], static_cast<std::uint32_t>(i));
  }
  return places;
}

// rank[id] of each VRF of side: its place in the report, or left out.
std::vector<std::uint32_t> Ranks(const DiffSide& side, const VrfPlaces& places) {
  std::vector<std::uint32_t> rank;
  for (const std::string& vrf : side.vrfs()) {
    const auto at = places.find(vrf);
    rank.push_back(at == places.end() ? DiffSide::kLeftOut : at->second);
  }
  return rank;
}

// The order of two keys, one of each side, without the route index.
int CompareKeys(const PairKey& b, const PairKey& a, const DiffSide& before, const DiffSide& after) {
  if (b.vrf != a.vrf) {
    return b.vrf < a.vrf ? -1 : 1;
  }
  if (const int order = b.CompareInVrf(a); order != 0) {
    return order;
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

// A next hop's address as it compares: an IPv6 address by its value ("2001:DB8::1" is
// "2001:db8:0::1"), anything else as printed.
std::optional<std::string> AddressKey(const NextHopView& hop) {
  if (!hop.address) {
    return std::nullopt;
  }
  std::optional<std::string> canonical = CanonicalIpv6(*hop.address);
  return canonical ? std::move(canonical) : std::string(*hop.address);
}

// An interface by its full name, so that a release that abbreviates it changes nothing.
std::optional<std::string> InterfaceOf(const NextHopView& hop) {
  if (!hop.interface) {
    return std::nullopt;
  }
  return FullInterfaceName(*hop.interface);
}

bool SameHopsInOrder(std::span<const NextHopView> a, std::span<const NextHopView> b) {
  return std::equal(
      a.begin(), a.end(), b.begin(), b.end(), [](const NextHopView& x, const NextHopView& y) {
        return x.vrf == y.vrf && (x.address == y.address || AddressKey(x) == AddressKey(y)) &&
               x.interface.has_value() == y.interface.has_value() &&
               (!x.interface || SameInterface(*x.interface, *y.interface));
      });
}

// Pairs the ordered keys of two ranges, one of each side, and keeps what differs.
std::vector<Found> PairRange(const DiffSide& before, const DiffSide& after,
                             std::span<const PairKey> b, std::span<const PairKey> a,
                             RouteFields ignored, bool across) {
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
        fields = CompareRoutes(tb.At(b[i].route, hopsBefore), ta.At(a[j].route, hopsAfter), ignored,
                               across);
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
std::vector<Found> Pair(const DiffSide& before, const DiffSide& after, RouteFields ignored,
                        bool across, bool oneThread) {
  const std::span<const PairKey> b = before.keys();
  const std::span<const PairKey> a = after.keys();
  constexpr std::size_t kParallelFrom = 100000;
  if (oneThread || b.size() < kParallelFrom || a.empty()) {
    return PairRange(before, after, b, a, ignored, across);
  }
  // The split falls before the first of the routes with the middle route's key.
  std::size_t mid = b.size() / 2;
  const auto sameKey = [&](const PairKey& x, const PairKey& y) {
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
    return PairRange(before, after, b.subspan(mid), a.subspan(j), ignored, across);
  });
  std::vector<Found> found = PairRange(before, after, b.first(mid), a.first(j), ignored, across);
  std::vector<Found> rest = second.get();
  found.insert(found.end(), rest.begin(), rest.end());
  return found;
}

void AddChange(DiffCounts& counts, RouteChange change) {
  (change == RouteChange::kRemoved ? counts.removed
   : change == RouteChange::kAdded ? counts.added
                                   : counts.changed) += 1;
}

DiffSummary Summarize(const DiffStream& streamBefore, const DiffStream& streamAfter,
                      const DiffSide& before, const DiffSide& after,
                      const std::vector<std::string>& vrfs, const VrfPlaces& places,
                      const std::vector<Found>& found, bool across) {
  DiffSummary summary;
  // Across platforms the protocols printed differ: routes count under their source.
  const auto protocolOf = [&](const RouteView& route) {
    return across ? SourceName(route.source) : route.protocol;
  };
  const auto counted = [&](const std::string& vrf) { return places.contains(vrf); };
  const std::map<std::string, std::size_t> routesBefore = streamBefore.VrfCounts();
  const std::map<std::string, std::size_t> routesAfter = streamAfter.VrfCounts();
  for (const std::string& vrf : vrfs) {
    DiffCounts counts;
    counts.before = routesBefore.contains(vrf) ? routesBefore.at(vrf) : 0;
    counts.after = routesAfter.contains(vrf) ? routesAfter.at(vrf) : 0;
    summary.vrfs.emplace_back(vrf, counts);
  }
  std::map<std::string, DiffCounts, std::less<>> protocols;
  for (const auto& [key, count] : streamBefore.ProtocolCounts()) {
    if (counted(key.first)) {
      protocols[key.second].before += count;
    }
  }
  for (const auto& [key, count] : streamAfter.ProtocolCounts()) {
    if (counted(key.first)) {
      protocols[key.second].after += count;
    }
  }
  std::vector<NextHopView> hops;
  for (const Found& change : found) {
    AddChange(summary.vrfs[change.vrf].second, change.change());
    std::string_view protocolBefore;
    if (change.before != kNone) {
      protocolBefore = protocolOf(before.table().At(change.before, hops));
      AddChange(protocols[std::string(protocolBefore)], change.change());
    }
    if (change.after != kNone) {
      const std::string_view protocolAfter = protocolOf(after.table().At(change.after, hops));
      if (change.before == kNone || protocolAfter != protocolBefore) {
        AddChange(protocols[std::string(protocolAfter)], change.change());
      }
    }
  }
  for (const auto& [vrf, counts] : summary.vrfs) {
    summary.total += counts;
  }
  summary.protocols.assign(protocols.begin(), protocols.end());
  return summary;
}

}  // namespace

RouteFields CompareRoutes(const RouteView& before, const RouteView& after, RouteFields ignored,
                          bool acrossPlatforms) {
  RouteFields changed;
  const auto check = [&](RouteField field, bool differs) {
    if (differs && !ignored.Has(field)) {
      changed.Add(field);
    }
  };
  if (acrossPlatforms) {
    ignored.Add(RouteField::kDistance);
    ignored.Add(RouteField::kFlags);
    ignored.Add(RouteField::kInterface);
    check(RouteField::kProtocol, !SourcesAgree(before.source, after.source));
    check(RouteField::kMetric, before.metric && after.metric && before.metric != after.metric);
  } else {
    check(RouteField::kProtocol, before.protocol != after.protocol);
    check(RouteField::kMetric, before.metric != after.metric);
  }
  check(RouteField::kDistance, before.distance != after.distance);
  check(RouteField::kFlags, before.flags != after.flags || before.selected != after.selected);
  check(RouteField::kUptime, before.uptime != after.uptime);
  if (!SameHopsInOrder(before.nextHops, after.nextHops)) {
    const bool addresses = SameHopParts(before.nextHops, after.nextHops, [](const NextHopView& h) {
      return std::make_pair(AddressKey(h), h.vrf);
    });
    const bool interfaces = SameHopParts(before.nextHops, after.nextHops, InterfaceOf);
    // The same addresses and interfaces, paired otherwise: the interfaces changed.
    const bool pairing = !addresses || ignored.Has(RouteField::kNextHops) ||
                         SameHopParts(before.nextHops, after.nextHops, [](const NextHopView& h) {
                           return std::make_tuple(AddressKey(h), h.vrf, InterfaceOf(h));
                         });
    check(RouteField::kNextHops, !addresses);
    check(RouteField::kInterface, !interfaces || !pairing);
  }
  return changed;
}

std::size_t DiffRouteCaptures(const DiffCapture& before, const DiffCapture& after,
                              const DiffOptions& options, RouteDiffSink& sink) {
  // Both captures are read at once, each on a thread of its own, while this one pairs their
  // routes as they come and keeps only those that may differ.
  DiffStream streamBefore(DiffStream::kBatchRoutes, options.oneThread);
  DiffStream streamAfter(DiffStream::kBatchRoutes, options.oneThread);
  DiffSide sideBefore;
  DiffSide sideAfter;
  ReadingReport readBefore;
  ReadingReport readAfter;
  Placements placements;
  if (options.oneThread) {
    // Each side learns the other's platform before it reads (given or not): both are placed
    // first, and read as placed.
    std::array<Prepared, 2> prepared;
    for (const auto& [capture, side] : {std::pair{&before, 0}, std::pair{&after, 1}}) {
      Prepare(*capture, options.platform, prepared[side]);
      const std::optional<Placement>& placement = prepared[side].placement;
      placements.Set(side, placement ? std::optional(placement->platform) : std::nullopt);
    }
    readBefore =
        ReadSide(before, options.platform, streamBefore, streamAfter, placements, 0, &prepared[0]);
    readAfter =
        ReadSide(after, options.platform, streamAfter, streamBefore, placements, 1, &prepared[1]);
    KeepWhatMayDiffer(streamBefore, streamAfter, options.vrfs, options.ignored, sideBefore,
                      sideAfter);
  } else {
    std::future<ReadingReport> readingBefore = std::async(std::launch::async, [&] {
      return ReadSide(before, options.platform, streamBefore, streamAfter, placements, 0);
    });
    std::future<ReadingReport> readingAfter = std::async(std::launch::async, [&] {
      return ReadSide(after, options.platform, streamAfter, streamBefore, placements, 1);
    });
    try {
      KeepWhatMayDiffer(streamBefore, streamAfter, options.vrfs, options.ignored, sideBefore,
                        sideAfter);
    } catch (...) {
      streamBefore.Cancel();  // the readers then end soon; the futures wait for them
      streamAfter.Cancel();
      throw;
    }
    readBefore = readingBefore.get();  // the trouble of the capture before first
    readAfter = readingAfter.get();
  }
  if (options.strict) {
    CheckUnderstood(readBefore, before);
    CheckUnderstood(readAfter, after);
  }

  const std::vector<std::string> vrfs = ReportVrfs(streamBefore, streamAfter, options, before);
  const VrfPlaces places = PlacesOf(vrfs);
  if (options.oneThread) {
    sideAfter.Order(Ranks(sideAfter, places));
    sideBefore.Order(Ranks(sideBefore, places));
  } else {
    std::future<void> ordering =
        std::async(std::launch::async, [&] { sideAfter.Order(Ranks(sideAfter, places)); });
    sideBefore.Order(Ranks(sideBefore, places));
    ordering.get();
  }

  const bool across = readBefore.platform != readAfter.platform;
  RouteFields ignored = options.ignored;
  if (across &&
      (readBefore.platform == Platform::kLinux || readAfter.platform == Platform::kLinux)) {
    // The kernel's metric is a route's priority among its own, no protocol's cost.
    ignored.Add(RouteField::kMetric);
  }
  const std::vector<Found> found = Pair(sideBefore, sideAfter, ignored, across, options.oneThread);
  DiffSummary summary =
      Summarize(streamBefore, streamAfter, sideBefore, sideAfter, vrfs, places, found, across);
  summary.acrossPlatforms = across;
  summary.leftOutBefore = streamBefore.leftOut();
  summary.leftOutAfter = streamAfter.leftOut();
  summary.beforeSource = before.source;
  summary.afterSource = after.source;
  summary.beforePlatform = readBefore.platform;
  summary.afterPlatform = readAfter.platform;
  summary.beforeReading = std::move(readBefore);
  summary.afterReading = std::move(readAfter);
  summary.ignored = ignored;
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
