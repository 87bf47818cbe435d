// One capture's routes held for a route diff: the compact table, and for each route the key it
// pairs by (VRF, address family, prefix as a number), put in report order once reading is done.
// Routes are counted per VRF and protocol as they come, for the diff's summary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tables/route_table.h"

namespace kestrelon::tables {

class DiffSide : public RouteSink {
 public:
  // Where a route stands in the report's order.
  struct Key {
    std::uint32_t vrf = 0;  // the VRF's id in this side, its rank across both after Order
    Afi afi = Afi::kIpv4;
    std::uint8_t named = 0;  // the prefix is no address (a firewall's object name)
    std::uint8_t length = 0;
    std::uint64_t high = 0;  // the address as a number; 0 for a name
    std::uint64_t low = 0;
    std::uint32_t route = 0;  // the route's index in the table
  };

  // Leaves out the VRF's routes.
  static constexpr std::uint32_t kLeftOut = 0xFFFFFFFFu;

  // Makes room for the routes of a capture of captureBytes, so that growing never copies.
  void Reserve(std::size_t captureBytes);

  void Put(const RouteView& route) override;

  const RouteTable& table() const { return table_; }
  // The VRF names, by id.
  std::vector<std::string> vrfs() const;
  // Routes per VRF id and protocol.
  const std::map<std::pair<std::uint32_t, std::string>, std::size_t>& protocolCounts() const {
    return protocols_;
  }
  // Routes per VRF id.
  const std::vector<std::size_t>& vrfCounts() const { return vrfCounts_; }

  // Gives each VRF its rank (rank[id], or kLeftOut) and puts the keys of the routes kept in
  // order: rank, address family, numbers before names, address, length, name; routes with one
  // key stay in printed order.
  void Order(const std::vector<std::uint32_t>& rank);
  std::span<const Key> keys() const { return keys_; }

  // The prefix of route i as printed, for keys that are names.
  std::string_view Prefix(std::uint32_t route) const;

 private:
  void Count(std::uint32_t vrf, std::string_view protocol);

  RouteTable table_;
  std::vector<Key> keys_;
  std::vector<std::size_t> vrfCounts_;
  std::map<std::pair<std::uint32_t, std::string>, std::size_t> protocols_;
  std::pair<std::uint32_t, std::string> lastProtocol_{kLeftOut, {}};
  std::size_t* lastCount_ = nullptr;
};

}  // namespace kestrelon::tables
