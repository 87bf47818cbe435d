// Puts a route together from the lines that print it (the destination line, further paths,
// the rest of a wrapped path) and hands it to a sink when the next route begins. The readers of
// every platform share it, so a route's parts are combined one way everywhere.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "routes/route_path_fields.h"
#include "tables/route_record.h"
#include "tables/route_sink.h"
#include "tables/route_source.h"

namespace kestrelon::tables {

// What the word after "via" is: an address or else an interface (most platforms), or always
// the next hop, which may be a name (a firewall's object names).
enum class ViaTarget { kAddressOrInterface, kNextHop };

class RouteBuilder {
 public:
  // sourceOf gives the source of a route from its protocol as kept, unless SetSource gives it.
  using SourceOf = RouteSource (*)(std::string_view protocol);
  explicit RouteBuilder(RouteSink& sink, SourceOf sourceOf = SourceOfCode)
      : sink_(sink), sourceOf_(sourceOf) {}

  // The VRF of the routes begun from now on; the pending route is finished first.
  void SetVrf(std::string_view vrf);
  const std::string& vrf() const { return vrf_; }

  // Finishes the pending route and begins another. code is the route code as printed
  // ("O*E2", "B E"): a "*" in it is the candidate-default flag, put before extraFlags.
  void Begin(Afi afi, std::string_view code, std::string_view extraFlags, std::string_view prefix);
  // The same with the prefix from an address and a length ("10.1.0.0" and 16).
  void Begin(Afi afi, std::string_view code, std::string_view extraFlags, std::string_view address,
             int length);
  bool Pending() const { return pending_; }
  // Replaces the protocol of the pending route (platforms that print it with each path).
  void SetProtocol(std::string_view protocol);
  // The source of the pending route, where its protocol alone does not tell it.
  void SetSource(RouteSource source) {
    source_ = source;
    sourceSet_ = true;
  }
  // Whether the pending route is the one in use, where the platform says.
  void SetSelected(std::optional<bool> selected) { selected_ = selected; }

  // Adds the path part of a line: a path of its own, or the rest of the last path.
  void AddPathFields(const routes::RoutePathFields& fields, ViaTarget rule);

  struct Path {
    OptionalText address;
    OptionalText interface;
    OptionalText vrf;
    std::optional<std::uint32_t> distance;
    std::optional<std::uint64_t> metric;
    OptionalText uptime;
  };
  // Adds a path given part by part.
  void AddPath(const Path& path);

  // Hands the pending route to the sink.
  void Finish();

 private:
  struct Slot {
    std::uint32_t at = 0;
    std::uint32_t size = 0;
    bool present = false;
  };
  struct StoredPath {
    Slot address, interface, vrf, uptime;
    bool cost = false;
    std::optional<std::uint32_t> distance;
    std::optional<std::uint64_t> metric;
    bool backup = false;
    bool complete = false;  // has a next hop, an interface, or says it is connected
  };

  // Room for size bytes after the texts kept so far.
  char* Append(std::size_t size) {
    if (used_ + size > text_.size()) {
      Grow(size);
    }
    char* at = text_.data() + used_;
    used_ += static_cast<std::uint32_t>(size);
    return at;
  }
  void Grow(std::size_t size);
  Slot Keep(std::string_view text);
  Slot Keep(const OptionalText& text) { return text ? Keep(*text) : Slot{}; }
  OptionalText View(const Slot& slot) const;
  void FillPath(StoredPath& path, const routes::RoutePathFields& fields, ViaTarget rule);

  RouteSink& sink_;
  SourceOf sourceOf_;
  RouteSource source_ = RouteSource::kOther;
  bool sourceSet_ = false;
  std::optional<bool> selected_;
  std::string vrf_{kDefaultVrf};
  bool pending_ = false;
  Afi afi_ = Afi::kIpv4;
  std::vector<char> text_;  // every text of the pending route, the first used_ bytes
  std::uint32_t used_ = 0;
  Slot protocol_, flags_, prefix_;
  std::vector<StoredPath> paths_;
  std::vector<NextHopView> hops_;
};

}  // namespace kestrelon::tables
