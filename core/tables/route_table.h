// A routing table held compactly in memory: each route packed into a few bytes of a chunked
// store (lengths, then texts), the VRF names kept once. About 60 bytes a route for a table of
// BGP routes. What a route diff pairs and compares: two routes whose packed fields are the same
// bytes are equal in all but their VRF and uptime, without unpacking them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "tables/route_record.h"
#include "tables/route_sink.h"

namespace kestrelon::tables {

class RouteTable : public RouteSink {
 public:
  void Put(const RouteView& route) override;

  // Makes room for routes routes; room never used costs no memory, only address space.
  void Reserve(std::size_t routes) { routes_.reserve(routes); }

  std::size_t size() const { return routes_.size(); }
  bool empty() const { return routes_.empty(); }

  // Route i; its next hops are laid out in hops, which the view points into.
  RouteView At(std::size_t i, std::vector<NextHopView>& hops) const;

  // The id of route i's VRF, and the VRF of an id: ids count from 0 in the order VRFs appear.
  std::uint32_t VrfId(std::size_t i) const { return routes_[i].vrf; }
  std::string_view VrfName(std::uint32_t id) const { return vrfs_[id]; }
  std::size_t VrfCount() const { return vrfs_.size(); }

  // The packed bytes of route i's fields but its VRF and uptime (afi, protocol, flags, prefix,
  // distance, metric, next hops in order), and of its uptime: equal bytes, equal values.
  std::string_view PackedFields(std::size_t i) const;
  std::string_view PackedUptime(std::size_t i) const;

  // Calls visit(const RouteView&) for each route in the order put.
  template <typename Visit>
  void ForEach(Visit&& visit) const {
    std::vector<NextHopView> hops;
    for (std::size_t i = 0; i < routes_.size(); ++i) {
      visit(At(i, hops));
    }
  }

  // Heap bytes the table holds (the index, the packed routes, the VRF names), for the
  // benchmarks.
  std::size_t MemoryBytes() const;

 private:
  struct Entry {
    std::uint32_t chunk = 0;
    std::uint32_t at = 0;          // where the route's bytes begin in its chunk
    std::uint32_t fieldsSize = 0;  // the bytes up to its uptime
    std::uint32_t vrf = 0;
  };

  struct Chunk {
    std::unique_ptr<char[]> bytes;  // never grown, so a route's bytes never move
    std::size_t size = 0;
  };

  char* Room(std::size_t size, Entry& entry);
  const char* Bytes(const Entry& entry) const {
    return chunks_[entry.chunk].bytes.get() + entry.at;
  }
  std::uint32_t InternVrf(std::string_view vrf);

  std::vector<Entry> routes_;
  std::vector<Chunk> chunks_;
  std::size_t used_ = 0;  // bytes used of the last chunk
  std::deque<std::string> vrfs_;
  std::unordered_map<std::string_view, std::uint32_t> vrfIds_;
  std::uint32_t lastVrf_ = 0;
  std::string_view lastVrfName_;  // its name, in vrfs_
};

}  // namespace kestrelon::tables
