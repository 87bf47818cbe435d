// A routing table held compactly in memory: fixed-size records, the texts of each route in one
// shared store, and the names that repeat (VRFs, protocols, flags, interfaces) kept once. About
// 70 bytes a route plus its texts; what a route diff pairs and compares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
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

  std::size_t size() const { return routes_.size(); }
  bool empty() const { return routes_.empty(); }

  // Route i; its next hops are laid out in hops, which the view points into.
  RouteView At(std::size_t i, std::vector<NextHopView>& hops) const;

  // Calls visit(const RouteView&) for each route in the order put.
  template <typename Visit>
  void ForEach(Visit&& visit) const {
    std::vector<NextHopView> hops;
    for (std::size_t i = 0; i < routes_.size(); ++i) {
      visit(At(i, hops));
    }
  }

  // Heap bytes the table holds (records, texts, names), for the benchmarks.
  std::size_t MemoryBytes() const;

 private:
  static constexpr std::uint32_t kAbsent = 0xFFFFFFFFu;

  // Names that repeat, each kept once; id kAbsent stands for no name.
  class NamePool {
   public:
    std::uint32_t Intern(std::string_view name);
    std::uint32_t Intern(const OptionalText& name) { return name ? Intern(*name) : kAbsent; }
    std::string_view Name(std::uint32_t id) const { return names_[id]; }
    OptionalText Optional(std::uint32_t id) const {
      return id == kAbsent ? OptionalText() : OptionalText(names_[id]);
    }
    std::size_t MemoryBytes() const;

   private:
    std::deque<std::string> names_;
    std::unordered_map<std::string_view, std::uint32_t> ids_;
    std::uint32_t last_ = kAbsent;  // consecutive routes often repeat a name
  };

  // The texts of one route lie one after another from text: prefix, uptime, hop addresses.
  struct StoredRoute {
    std::uint64_t text = 0;
    std::uint64_t metric = 0;
    std::uint32_t prefixSize = 0;
    std::uint32_t uptimeSize = kAbsent;
    std::uint32_t vrf = 0;
    std::uint32_t distance = 0;
    std::uint32_t firstHop = 0;
    std::uint32_t hopCount = 0;
    std::uint32_t protocol = 0;
    std::uint32_t flags = 0;
    Afi afi = Afi::kIpv4;
    std::uint8_t present = 0;  // bit 0: distance, bit 1: metric
  };
  struct StoredHop {
    std::uint32_t addressSize = kAbsent;
    std::uint32_t interface = kAbsent;
    std::uint32_t vrf = kAbsent;
  };

  std::uint32_t AppendText(const OptionalText& text);

  std::vector<StoredRoute> routes_;
  std::vector<StoredHop> hops_;
  std::string text_;
  NamePool vrfs_;
  NamePool names_;  // protocols, flags and interfaces
};

}  // namespace kestrelon::tables
