// What a route diff reports, and to whom: the fields a changed route names, the counts of the
// whole diff, and one event per removed, added or changed route. The writers of the report are
// sinks; a window can be one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/line_accounting.h"
#include "tables/route_record.h"
#include "tables/table_reader.h"

namespace kestrelon::tables {

// What can differ between two routes of one prefix, in the order reports name them.
enum class RouteField : std::uint8_t {
  kProtocol,
  kDistance,
  kMetric,
  kNextHops,   // the set of next-hop addresses (with their VRFs); order does not count
  kInterface,  // the interfaces of the paths
  kFlags,
  kUptime,
};
inline constexpr std::size_t kRouteFieldCount = 7;

// "protocol", "distance", "metric", "next_hops", "interface", "flags", "uptime".
std::string_view RouteFieldName(RouteField field);
std::optional<RouteField> RouteFieldFromName(std::string_view name);

// A set of fields.
class RouteFields {
 public:
  constexpr RouteFields() = default;
  constexpr RouteFields(std::initializer_list<RouteField> fields) {
    for (const RouteField field : fields) {
      Add(field);
    }
  }
  constexpr void Add(RouteField field) { bits_ |= Bit(field); }
  constexpr bool Has(RouteField field) const { return (bits_ & Bit(field)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  // The fields in report order.
  std::vector<RouteField> List() const;
  constexpr bool operator==(const RouteFields&) const = default;

 private:
  static constexpr std::uint8_t Bit(RouteField field) {
    return static_cast<std::uint8_t>(1u << static_cast<unsigned>(field));
  }
  std::uint8_t bits_ = 0;
};

enum class RouteChange : std::uint8_t { kRemoved, kAdded, kChanged };

// "removed", "added", "changed".
std::string_view RouteChangeName(RouteChange change);

// Routes before and after, and the changes, of the whole diff or of one part of it.
struct DiffCounts {
  std::size_t before = 0;
  std::size_t after = 0;
  std::size_t removed = 0;
  std::size_t added = 0;
  std::size_t changed = 0;

  std::size_t Changes() const { return removed + added + changed; }
  DiffCounts& operator+=(const DiffCounts& other) {
    before += other.before;
    after += other.after;
    removed += other.removed;
    added += other.added;
    changed += other.changed;
    return *this;
  }
};

struct DiffSummary {
  std::string beforeSource;  // the names the captures were given by
  std::string afterSource;
  Platform beforePlatform = Platform::kIos;
  Platform afterPlatform = Platform::kIos;
  // How each capture was read: platform, how it was decided, its lines by kind and the first
  // lines not understood.
  ReadingReport beforeReading;
  ReadingReport afterReading;
  RouteFields ignored;
  // The captures come from two platforms: protocols compare by source, routes count by
  // source, and the routes a platform marks as not in use were left out (so many).
  bool acrossPlatforms = false;
  std::size_t leftOutBefore = 0;
  std::size_t leftOutAfter = 0;
  DiffCounts total;
  // Per VRF, in report order ("default" first, then by name).
  std::vector<std::pair<std::string, DiffCounts>> vrfs;
  // Per protocol as printed ("O E2"), by name. A changed route counts under its protocol before
  // and, when that changed, under its protocol after as well.
  std::vector<std::pair<std::string, DiffCounts>> protocols;
};

// One removed, added or changed route. Its records and what they point to are valid only
// during the call.
struct RouteChangeEvent {
  RouteChange change = RouteChange::kChanged;
  RouteFields fields;                 // what changed; empty unless kChanged
  const RouteView* before = nullptr;  // none for an added route
  const RouteView* after = nullptr;   // none for a removed route

  // The route's own: of the record before, or else of the one after.
  const RouteView& route() const { return before != nullptr ? *before : *after; }
};

class RouteDiffSink {
 public:
  virtual ~RouteDiffSink() = default;
  // Called once, before any change.
  virtual void Begin(const DiffSummary& summary) = 0;
  // Each change, grouped by VRF in the summary's order, then IPv4 before IPv6, then by prefix
  // in numeric order (an address, then its length).
  virtual void Change(const RouteChangeEvent& change) = 0;
  // Called once, after the last change.
  virtual void End() = 0;
};

}  // namespace kestrelon::tables
