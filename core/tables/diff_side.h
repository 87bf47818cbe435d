// The routes of one capture that a route diff holds: the compact table, and for each route the
// key it pairs by (VRF, address family, prefix as a number), put in report order once all are in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "tables/route_table.h"

namespace kestrelon::tables {

// Where a route stands in the report's order.
struct PairKey {
  std::uint32_t vrf = 0;  // an id of the VRF's name; its rank across both sides once ordered
  Afi afi = Afi::kIpv4;
  std::uint8_t named = 0;  // the prefix is no address (a firewall's object name)
  std::uint8_t length = 0;
  std::uint64_t high = 0;  // the address as a number; 0 for a name
  std::uint64_t low = 0;
  std::uint32_t route = 0;  // the route's index in its table

  // Whether two keys of routes with one VRF stand apart: -1, 0 or 1 by address family, numbers
  // before names, address, length. Keys that are names compare equal here; their texts decide.
  int CompareInVrf(const PairKey& other) const {
    const auto order = std::tie(afi, named, high, low, length) <=>
                       std::tie(other.afi, other.named, other.high, other.low, other.length);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
  }
};

// Sets afi and vrf aside, the parts of key that prefix gives: "10.1.0.0/16" as numbers,
// anything else as a name.
void ReadPrefixKey(std::string_view prefix, PairKey& key);

// The order of the VRFs in a report: "default" first, then by name; -1, 0 or 1.
int CompareVrfNames(std::string_view a, std::string_view b);

class DiffSide : public RouteSink {
 public:
  // Leaves out the VRF's routes.
  static constexpr std::uint32_t kLeftOut = 0xFFFFFFFFu;

  void Put(const RouteView& route) override;

  const RouteTable& table() const { return table_; }
  // The VRF names, by id.
  std::vector<std::string> vrfs() const;

  // Gives each VRF its rank (rank[id], or kLeftOut) and puts the keys of the routes kept in
  // order: rank, address family, numbers before names, address, length, name; routes with one
  // key stay in the order put.
  void Order(const std::vector<std::uint32_t>& rank);
  std::span<const PairKey> keys() const { return keys_; }

  // The prefix of route i as printed, for keys that are names.
  std::string_view Prefix(std::uint32_t route) const;

 private:
  RouteTable table_;
  std::vector<PairKey> keys_;
};

}  // namespace kestrelon::tables
