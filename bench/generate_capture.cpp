// Builds a route table from a seed, optionally applies the changes of the "after" capture, and
// prints it the way a router prints "show ip route": grouped by classful network, ascending.
#include "bench/generate_capture.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <stdexcept>
#include <utility>
#include <vector>

namespace kestrelon::bench {

std::uint64_t Random::Below(std::uint64_t n) {
  // Lemire's multiply-and-reject: exact and cheap.
  unsigned __int128 m = static_cast<unsigned __int128>(Next()) * n;
  auto low = static_cast<std::uint64_t>(m);
  if (low < n) {
    const std::uint64_t threshold = (0 - n) % n;
    while (low < threshold) {
      m = static_cast<unsigned __int128>(Next()) * n;
      low = static_cast<std::uint64_t>(m);
    }
  }
  return static_cast<std::uint64_t>(m >> 64);
}

std::int64_t Random::Between(std::int64_t low, std::int64_t high) {
  return low + static_cast<std::int64_t>(Below(static_cast<std::uint64_t>(high - low) + 1));
}

namespace {

constexpr std::int64_t kMinute = 60;
constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kDay = 86400;
constexpr std::int64_t kWeek = 7 * kDay;
constexpr std::int64_t kYear = 365 * kDay;

enum class Kind : std::uint8_t {
  kBgpExternal,
  kBgpInternal,
  kOspf,
  kOspfInterArea,
  kOspfExternal2,
  kOspfExternal1,
  kEigrp,
  kEigrpExternal,
  kStatic,
  kDefault,
  kConnected,
  kLocal,
};

constexpr std::uint16_t kNoInterface = 0xFFFF;
constexpr int kMaxPaths = 4;

struct Path {
  std::uint32_t hop = 0;
  std::uint16_t iface = kNoInterface;
};

struct Route {
  std::uint32_t dest = 0;
  std::uint8_t len = 0;
  Kind kind = Kind::kBgpExternal;
  std::uint8_t pathCount = 1;
  bool wrapped = false;
  bool removed = false;
  std::uint32_t metric = 0;
  std::int64_t uptime = 0;  // seconds
  std::array<Path, kMaxPaths> paths{};
};

struct Weighted {
  int value;
  int weight;
};

template <std::size_t N>
int Pick(Random& random, const std::array<Weighted, N>& table) {
  int total = 0;
  for (const Weighted& w : table) {
    total += w.weight;
  }
  auto roll = static_cast<int>(random.Below(static_cast<std::uint64_t>(total)));
  for (const Weighted& w : table) {
    if (roll < w.weight) {
      return w.value;
    }
    roll -= w.weight;
  }
  return table.back().value;
}

std::uint32_t MaskOf(int len) {
  return len == 0 ? 0u : ~0u << (32 - len);
}

std::uint32_t Quad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return (a << 24) | (b << 16) | (c << 8) | d;
}

std::uint64_t KeyOf(std::uint32_t dest, int len) {
  return (static_cast<std::uint64_t>(dest) << 8) | static_cast<std::uint64_t>(len);
}

// Prefix lengths of a full Internet table, in parts per ten thousand.
constexpr std::array<Weighted, 17> kBgpLengths{{{24, 5800},
                                                {23, 900},
                                                {22, 1200},
                                                {21, 500},
                                                {20, 500},
                                                {19, 300},
                                                {18, 200},
                                                {17, 120},
                                                {16, 300},
                                                {15, 50},
                                                {14, 40},
                                                {13, 30},
                                                {12, 20},
                                                {11, 10},
                                                {10, 10},
                                                {9, 5},
                                                {8, 15}}};

constexpr std::array<Weighted, 8> kIgpLengths{
    {{24, 40}, {25, 4}, {26, 5}, {27, 6}, {28, 5}, {29, 5}, {30, 20}, {32, 15}}};

// What a profile changes: shares of the route kinds (per thousand routes), equal-cost paths,
// wrapped entries, BGP multipath and interface names.
struct Mix {
  int pairs;  // connected networks, each with its local /32
  int statics;
  int ospf;
  int eigrp;
  std::array<Weighted, 4> igpPaths;  // paths of an OSPF route
  int wrappedPercent;                // IGP entries the router breaks after the destination
  int bgpMultipathPercent;           // BGP routes with a second path
  bool providerEdge;                 // long interface names, a wider IGP address space
};

constexpr Mix kBasicMix{3, 3, 36, 5, {{{1, 70}, {2, 25}, {3, 3}, {4, 2}}}, 8, 0, false};
constexpr Mix kRealisticMix{4, 6, 390, 40, {{{1, 57}, {2, 29}, {3, 9}, {4, 5}}}, 12, 17, true};

const Mix& MixOf(Profile profile) {
  return profile == Profile::kRealistic ? kRealisticMix : kBasicMix;
}

bool IsReserved(std::uint32_t a) {
  const auto in = [a](std::uint32_t net, int len) { return (a & MaskOf(len)) == net; };
  return in(Quad(172, 16, 0, 0), 12) || in(Quad(192, 168, 0, 0), 16) ||
         in(Quad(100, 64, 0, 0), 10) || in(Quad(169, 254, 0, 0), 16) ||
         in(Quad(192, 0, 2, 0), 24) || in(Quad(198, 51, 100, 0), 24) ||
         in(Quad(203, 0, 113, 0), 24) || in(Quad(198, 18, 0, 0), 15);
}

std::uint64_t BgpCandidate(Random& random) {
  const int len = Pick(random, kBgpLengths);
  while (true) {
    std::uint32_t first = 0;
    do {
      first = static_cast<std::uint32_t>(random.Between(1, 223));
    } while (first == 10 || first == 127);
    const std::uint32_t dest =
        ((first << 24) | static_cast<std::uint32_t>(random.Next() & 0xFFFFFF)) & MaskOf(len);
    if (!IsReserved(dest)) {
      return KeyOf(dest, len);
    }
  }
}

// A prefix of an IGP length inside base/baseLen.
std::uint64_t SpaceCandidate(Random& random, std::uint32_t base, int baseLen) {
  const int len = Pick(random, kIgpLengths);
  const std::uint32_t dest =
      (base | (static_cast<std::uint32_t>(random.Next()) & ~MaskOf(baseLen))) & MaskOf(len);
  return KeyOf(dest, len);
}

// count prefixes from candidate that are new to taken (sorted); adds them to taken.
template <typename Candidate>
std::vector<std::uint64_t> UniquePrefixes(Random& random, std::int64_t count,
                                          std::vector<std::uint64_t>& taken, Candidate candidate) {
  std::vector<std::uint64_t> out;
  int stalled = 0;
  while (static_cast<std::int64_t>(out.size()) < count) {
    const std::size_t before = out.size();
    const auto deficit = static_cast<std::size_t>(count) - out.size();
    for (std::size_t i = 0; i < deficit; ++i) {
      const std::uint64_t key = candidate(random);
      if (!std::binary_search(taken.begin(), taken.end(), key)) {
        out.push_back(key);
      }
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    stalled = out.size() == before ? stalled + 1 : 0;
    if (stalled > 64) {
      throw std::invalid_argument("too many routes for the generator's address plan");
    }
  }
  std::vector<std::uint64_t> merged;
  merged.reserve(taken.size() + out.size());
  std::merge(taken.begin(), taken.end(), out.begin(), out.end(), std::back_inserter(merged));
  taken.swap(merged);
  return out;
}

struct Neighbour {
  std::uint32_t hop;
  std::uint16_t iface;
};

// The route table and the names its lines use.
struct Table {
  std::vector<Route> routes;
  std::vector<std::string> interfaces;
  std::vector<Neighbour> neighbours;  // IGP next hops on point-to-point links
  std::vector<std::uint64_t> taken;   // every prefix in use, sorted
};

std::uint16_t AddInterface(Table& table, std::string name) {
  table.interfaces.push_back(std::move(name));
  return static_cast<std::uint16_t>(table.interfaces.size() - 1);
}

std::int64_t LongUptime(Random& random) {
  const int band = Pick(random, std::array<Weighted, 4>{{{0, 70}, {1, 20}, {2, 8}, {3, 2}}});
  switch (band) {
    case 0:
      return random.Between(kWeek, 20 * kWeek);
    case 1:
      return random.Between(kDay, kWeek - 1);
    case 2:
      return random.Between(kMinute, kDay - 1);
    default:
      return random.Between(kYear, kYear + 10 * kWeek);
  }
}

// Picks paths distinct neighbours for an IGP route.
void SetIgpPaths(Random& random, const Table& table, Route& route, int paths) {
  const auto n = static_cast<int>(table.neighbours.size());
  paths = std::min(paths, n);
  const auto first = static_cast<int>(random.Below(static_cast<std::uint64_t>(n)));
  route.pathCount = static_cast<std::uint8_t>(paths);
  for (int p = 0; p < paths; ++p) {
    const Neighbour& nb = table.neighbours[static_cast<std::size_t>((first + p) % n)];
    route.paths[static_cast<std::size_t>(p)] = {nb.hop, nb.iface};
  }
}

constexpr std::array<std::uint32_t, 3> kTransit{
    0xCB007101u /* 203.0.113.1 */, 0xC6336409u /* 198.51.100.9 */, 0xC0000221u /* 192.0.2.33 */};

// The hop of the BGP neighbour after hop: the next transit, or the next internal peer.
std::uint32_t NextBgpHop(std::uint32_t hop) {
  const auto at = std::find(kTransit.begin(), kTransit.end(), hop);
  if (at != kTransit.end()) {
    return kTransit[static_cast<std::size_t>(at - kTransit.begin() + 1) % kTransit.size()];
  }
  return Quad(10, 255, 255, 1 + (hop & 0xFF) % 4);
}

void MakeBgp(Random& random, const Mix& mix, Route& route) {
  if (random.Chance(8, 10)) {
    route.kind = Kind::kBgpExternal;
    const int transit = Pick(random, std::array<Weighted, 3>{{{0, 55}, {1, 35}, {2, 10}}});
    route.paths[0].hop = kTransit[static_cast<std::size_t>(transit)];
    route.metric = random.Chance(1, 10) ? static_cast<std::uint32_t>(random.Between(1, 1000)) : 0;
  } else {
    route.kind = Kind::kBgpInternal;
    route.paths[0].hop = Quad(10, 255, 255, static_cast<std::uint32_t>(random.Between(1, 4)));
    route.metric = 0;
  }
  route.uptime = LongUptime(random);
  if (mix.bgpMultipathPercent > 0 &&
      random.Chance(static_cast<std::uint64_t>(mix.bgpMultipathPercent), 100)) {
    route.pathCount = 2;
    route.paths[1].hop = NextBgpHop(route.paths[0].hop);
  }
}

void MakeOspf(Random& random, const Mix& mix, const Table& table, Route& route) {
  route.kind = static_cast<Kind>(
      Pick(random, std::array<Weighted, 4>{{{static_cast<int>(Kind::kOspf), 50},
                                            {static_cast<int>(Kind::kOspfInterArea), 30},
                                            {static_cast<int>(Kind::kOspfExternal2), 15},
                                            {static_cast<int>(Kind::kOspfExternal1), 5}}}));
  route.metric =
      route.kind == Kind::kOspfExternal2 ? 20 : static_cast<std::uint32_t>(random.Between(2, 3000));
  SetIgpPaths(random, table, route, Pick(random, mix.igpPaths));
  route.wrapped = random.Chance(static_cast<std::uint64_t>(mix.wrappedPercent), 100);
  route.uptime = LongUptime(random);
}

void MakeEigrp(Random& random, const Mix& mix, const Table& table, Route& route) {
  route.kind = random.Chance(8, 10) ? Kind::kEigrp : Kind::kEigrpExternal;
  route.metric = static_cast<std::uint32_t>(random.Between(2816, 30000000));
  SetIgpPaths(random, table, route, random.Chance(2, 10) ? 2 : 1);
  route.wrapped = random.Chance(static_cast<std::uint64_t>(mix.wrappedPercent), 100);
  route.uptime = LongUptime(random);
}

void MakeStatic(Random& random, const Table& table, Route& route) {
  route.kind = Kind::kStatic;
  SetIgpPaths(random, table, route, random.Chance(1, 10) ? 2 : 1);
  for (int p = 0; p < route.pathCount; ++p) {
    route.paths[static_cast<std::size_t>(p)].iface = kNoInterface;
  }
}

Route RouteAt(std::uint64_t key) {
  Route route;
  route.dest = static_cast<std::uint32_t>(key >> 8);
  route.len = static_cast<std::uint8_t>(key & 0xFF);
  return route;
}

// The table before any change.
Table BuildTable(std::uint64_t seed, std::int64_t count, const Mix& mix) {
  Random random(seed);
  Table table;
  if (count <= 0) {
    return table;
  }
  const std::int64_t fixed = std::min<std::int64_t>(count, 3);
  const std::int64_t rest = count - fixed;
  const std::int64_t pairs = rest * mix.pairs / 1000;
  const std::int64_t statics = rest * mix.statics / 1000;
  const std::int64_t ospf = rest * mix.ospf / 1000;
  const std::int64_t eigrp = rest * mix.eigrp / 1000;
  const std::int64_t bgp = rest - 2 * pairs - statics - ospf - eigrp;
  table.routes.reserve(static_cast<std::size_t>(count));

  // The uplink that the default route points to.
  const std::uint16_t uplink = AddInterface(table, "GigabitEthernet0/0");
  table.neighbours.push_back({Quad(10, 0, 0, 1), uplink});
  const std::array<Route, 3> fixedRoutes{
      Route{0, 0, Kind::kDefault, 1, false, false, 0, 0, {{{Quad(10, 0, 0, 1), kNoInterface}}}},
      Route{Quad(10, 0, 0, 0), 30, Kind::kConnected, 1, false, false, 0, 0, {{{0, uplink}}}},
      Route{Quad(10, 0, 0, 2), 32, Kind::kLocal, 1, false, false, 0, 0, {{{0, uplink}}}}};
  for (std::int64_t i = 0; i < fixed; ++i) {
    table.routes.push_back(fixedRoutes[static_cast<std::size_t>(i)]);
    table.taken.push_back(
        KeyOf(table.routes.back().dest, table.routes.back().len));  // ascending already
  }
  std::sort(table.taken.begin(), table.taken.end());

  // Connected networks: point-to-point links (whose far ends are the IGP neighbours) and VLANs.
  const std::int64_t links = pairs == 0 ? 0 : std::max<std::int64_t>(1, pairs * 4 / 10);
  const auto linkKeys = UniquePrefixes(random, links, table.taken, [](Random& r) {
    return KeyOf(Quad(10, 32, 0, 0) | (static_cast<std::uint32_t>(r.Next()) & 0x3FFFC), 30);
  });
  const auto vlanKeys = UniquePrefixes(random, pairs - links, table.taken, [](Random& r) {
    return KeyOf(Quad(10, 16, 0, 0) | (static_cast<std::uint32_t>(r.Next()) & 0xFFF00), 24);
  });
  int linkNumber = 0;
  for (const std::uint64_t key : linkKeys) {
    Route connected = RouteAt(key);
    connected.kind = Kind::kConnected;
    connected.paths[0].iface = AddInterface(
        table, (mix.providerEdge ? "TenGigabitEthernet0/1/" : "GigabitEthernet0/") +
                   std::to_string(1 + linkNumber % 3) + "." + std::to_string(1000 + linkNumber));
    ++linkNumber;
    if (table.neighbours.size() < 16) {
      table.neighbours.push_back({connected.dest + 2, connected.paths[0].iface});
    }
    Route local = connected;
    local.kind = Kind::kLocal;
    local.dest += 1;
    local.len = 32;
    table.routes.push_back(connected);
    table.routes.push_back(local);
  }
  int vlan = 100;
  for (const std::uint64_t key : vlanKeys) {
    Route connected = RouteAt(key);
    connected.kind = Kind::kConnected;
    connected.paths[0].iface = AddInterface(table, "Vlan" + std::to_string(vlan++));
    Route local = connected;
    local.kind = Kind::kLocal;
    local.dest += 1;
    local.len = 32;
    table.routes.push_back(connected);
    table.routes.push_back(local);
  }
  // Local /32s are new prefixes too.
  std::vector<std::uint64_t> locals;
  for (const Route& r : table.routes) {
    if (r.kind == Kind::kLocal && r.dest != Quad(10, 0, 0, 2)) {
      locals.push_back(KeyOf(r.dest, r.len));
    }
  }
  std::sort(locals.begin(), locals.end());
  std::vector<std::uint64_t> merged;
  std::merge(table.taken.begin(), table.taken.end(), locals.begin(), locals.end(),
             std::back_inserter(merged));
  table.taken.swap(merged);

  for (const std::uint64_t key : UniquePrefixes(random, statics, table.taken, [](Random& r) {
         const int len = r.Chance(1, 4) ? 32 : 24;
         const std::uint32_t host = static_cast<std::uint32_t>(r.Next()) & 0xFFFFF;
         return KeyOf((Quad(10, 192, 0, 0) | host) & MaskOf(len), len);
       })) {
    Route route = RouteAt(key);
    MakeStatic(random, table, route);
    table.routes.push_back(route);
  }
  for (const std::uint64_t key : UniquePrefixes(random, ospf, table.taken, [&mix](Random& r) {
         if (mix.providerEdge && r.Chance(1, 3)) {
           return SpaceCandidate(r, Quad(100, 64, 0, 0), 10);  // kept out of the BGP table
         }
         return r.Chance(1, 2) ? SpaceCandidate(r, Quad(10, 64, 0, 0), 10)
                               : SpaceCandidate(r, Quad(172, 16, 0, 0), 12);
       })) {
    Route route = RouteAt(key);
    MakeOspf(random, mix, table, route);
    table.routes.push_back(route);
  }
  for (const std::uint64_t key : UniquePrefixes(random, eigrp, table.taken, [](Random& r) {
         return SpaceCandidate(r, Quad(10, 128, 0, 0), 10);
       })) {
    Route route = RouteAt(key);
    MakeEigrp(random, mix, table, route);
    table.routes.push_back(route);
  }
  for (const std::uint64_t key : UniquePrefixes(random, bgp, table.taken, BgpCandidate)) {
    Route route = RouteAt(key);
    MakeBgp(random, mix, route);
    table.routes.push_back(route);
  }
  return table;
}

bool IsChangeable(Kind kind) {
  return kind != Kind::kDefault && kind != Kind::kConnected && kind != Kind::kLocal;
}

bool HasTimer(Kind kind) {
  return kind != Kind::kDefault && kind != Kind::kConnected && kind != Kind::kLocal &&
         kind != Kind::kStatic;
}

// The hop of the neighbour after the one at hop.
std::uint32_t NextNeighbour(const Table& table, std::uint32_t hop) {
  const auto at = std::find_if(table.neighbours.begin(), table.neighbours.end(),
                               [hop](const Neighbour& n) { return n.hop == hop; });
  const auto index = static_cast<std::size_t>(at - table.neighbours.begin());
  return table.neighbours[(index + 1) % table.neighbours.size()].hop;
}

// A changed route: another next hop or another metric, and a fresh timer.
void ChangeRoute(Random& random, const Table& table, Route& route) {
  switch (route.kind) {
    case Kind::kBgpExternal:
      if (random.Chance(1, 2)) {
        for (int p = 0; p < route.pathCount; ++p) {
          route.paths[static_cast<std::size_t>(p)].hop = NextBgpHop(route.paths[p].hop);
        }
      } else {
        route.metric += static_cast<std::uint32_t>(random.Between(1, 100));
      }
      break;
    case Kind::kBgpInternal:
      for (int p = 0; p < route.pathCount; ++p) {
        route.paths[static_cast<std::size_t>(p)].hop = NextBgpHop(route.paths[p].hop);
      }
      break;
    case Kind::kStatic:
      for (int p = 0; p < route.pathCount; ++p) {
        route.paths[static_cast<std::size_t>(p)].hop = NextNeighbour(table, route.paths[p].hop);
      }
      break;
    default:
      if (route.pathCount > 1 && random.Chance(1, 2)) {
        --route.pathCount;  // an equal-cost path lost
      } else {
        route.metric += static_cast<std::uint32_t>(random.Between(1, 100));
      }
      break;
  }
  route.uptime = random.Between(30, kHour);
}

// About 1% of the routes removed, changed or added; every timer moved on by eight days and
// some hours, so that every printed timer differs.
void ApplyChanges(std::uint64_t seed, const Mix& mix, Table& table) {
  Random random(seed ^ 0x9E3779B97F4A7C15ULL);
  const std::int64_t delta = 8 * kDay + random.Between(0, kDay - 1);
  for (Route& route : table.routes) {
    route.uptime += delta;
  }
  std::vector<std::uint32_t> eligible;
  for (std::size_t i = 0; i < table.routes.size(); ++i) {
    if (IsChangeable(table.routes[i].kind)) {
      eligible.push_back(static_cast<std::uint32_t>(i));
    }
  }
  const auto n = static_cast<std::int64_t>(table.routes.size());
  const std::int64_t changes = n < 10 ? 0 : std::max<std::int64_t>(3, n / 100);
  const std::int64_t removed = std::min<std::int64_t>(changes / 3, std::ssize(eligible) / 2);
  const std::int64_t changed = std::min<std::int64_t>(changes / 3, std::ssize(eligible) / 2);
  const std::int64_t added = changes - removed - changed;
  // A partial Fisher-Yates shuffle picks distinct routes.
  for (std::int64_t k = 0; k < removed + changed; ++k) {
    const auto pick = static_cast<std::size_t>(random.Between(k, std::ssize(eligible) - 1));
    std::swap(eligible[static_cast<std::size_t>(k)], eligible[pick]);
    Route& route = table.routes[eligible[static_cast<std::size_t>(k)]];
    if (k < removed) {
      route.removed = true;
    } else {
      ChangeRoute(random, table, route);
    }
  }
  table.routes.erase(std::remove_if(table.routes.begin(), table.routes.end(),
                                    [](const Route& r) { return r.removed; }),
                     table.routes.end());
  const std::int64_t addedOspf = added / 20;
  for (const std::uint64_t key : UniquePrefixes(random, addedOspf, table.taken, [](Random& r) {
         return SpaceCandidate(r, Quad(10, 64, 0, 0), 10);
       })) {
    Route route = RouteAt(key);
    MakeOspf(random, mix, table, route);
    route.uptime = random.Between(30, kHour);
    table.routes.push_back(route);
  }
  for (const std::uint64_t key :
       UniquePrefixes(random, added - addedOspf, table.taken, BgpCandidate)) {
    Route route = RouteAt(key);
    MakeBgp(random, mix, route);
    route.uptime = random.Between(30, kHour);
    table.routes.push_back(route);
  }
}

int ClassfulLength(std::uint32_t dest) {
  const std::uint32_t first = dest >> 24;
  return first < 128 ? 8 : first < 192 ? 16 : first < 224 ? 24 : 32;
}

// One top-level item of the printed table: a route on its own, or a classful network's header
// with the routes under it.
struct Item {
  std::size_t first;
  std::size_t count;
  bool header;
};

std::vector<Item> GroupByClassfulNetwork(const std::vector<Route>& routes) {
  std::vector<Item> items;
  std::size_t i = 0;
  while (i < routes.size()) {
    const int classLen = ClassfulLength(routes[i].dest);
    if (routes[i].len < classLen) {  // a supernet
      items.push_back({i, 1, false});
      ++i;
      continue;
    }
    const std::uint32_t net = routes[i].dest & MaskOf(classLen);
    std::size_t j = i;
    bool subnets = false;
    while (j < routes.size() && routes[j].len >= classLen &&
           (routes[j].dest & MaskOf(classLen)) == net) {
      subnets = subnets || routes[j].len > classLen;
      ++j;
    }
    if (subnets) {
      items.push_back({i, j - i, true});
    } else {
      for (std::size_t k = i; k < j; ++k) {
        items.push_back({k, 1, false});
      }
    }
    i = j;
  }
  return items;
}

std::string_view CodeText(Kind kind) {
  switch (kind) {
    case Kind::kBgpExternal:
    case Kind::kBgpInternal:
      return "B";
    case Kind::kOspf:
      return "O";
    case Kind::kOspfInterArea:
      return "O IA";
    case Kind::kOspfExternal2:
      return "O E2";
    case Kind::kOspfExternal1:
      return "O E1";
    case Kind::kEigrp:
      return "D";
    case Kind::kEigrpExternal:
      return "D EX";
    case Kind::kStatic:
      return "S";
    case Kind::kDefault:
      return "S*";
    case Kind::kConnected:
      return "C";
    case Kind::kLocal:
      return "L";
  }
  return "?";
}

int Distance(Kind kind) {
  switch (kind) {
    case Kind::kBgpExternal:
      return 20;
    case Kind::kBgpInternal:
      return 200;
    case Kind::kEigrp:
      return 90;
    case Kind::kEigrpExternal:
      return 170;
    case Kind::kStatic:
    case Kind::kDefault:
      return 1;
    default:
      return 110;
  }
}

constexpr std::array<std::string_view, 9> kLegend{
    "Codes: L - local, C - connected, S - static, R - RIP, M - mobile, B - BGP",
    "       D - EIGRP, EX - EIGRP external, O - OSPF, IA - OSPF inter area ",
    "       N1 - OSPF NSSA external type 1, N2 - OSPF NSSA external type 2",
    "       E1 - OSPF external type 1, E2 - OSPF external type 2",
    "       i - IS-IS, su - IS-IS summary, L1 - IS-IS level-1, L2 - IS-IS level-2",
    "       ia - IS-IS inter area, * - candidate default, U - per-user static route",
    "       o - ODR, P - periodic downloaded static route, H - NHRP, l - LISP",
    "       a - application route",
    "       + - replicated route, % - next hop override, p - overrides from PfR"};

// Formats lines into a buffer that goes to the sink in large pieces.
class Printer {
 public:
  Printer(const ChunkSink& sink, bool crlf, CaptureStats& stats)
      : sink_(sink), end_(crlf ? "\r\n" : "\n"), stats_(stats) {
    buffer_.reserve(kChunk + 512);
  }

  void Text(std::string_view text) { buffer_.append(text); }
  void Number(std::uint64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    buffer_.append(digits, result.ptr);
  }
  void TwoDigits(std::int64_t value) {
    buffer_.push_back(static_cast<char>('0' + value / 10));
    buffer_.push_back(static_cast<char>('0' + value % 10));
  }
  void Address(std::uint32_t a) {
    for (int shift = 24; shift >= 0; shift -= 8) {
      Number((a >> shift) & 0xFF);
      if (shift > 0) {
        buffer_.push_back('.');
      }
    }
  }
  void Blanks(std::size_t count) { buffer_.append(count, ' '); }
  // Pads the current line with blanks to column width (0-based byte count of the line).
  void PadTo(std::size_t width) {
    const std::size_t used = buffer_.size() - lineStart_;
    Blanks(used < width ? width - used : 1);
  }
  std::size_t Column() const { return buffer_.size() - lineStart_; }
  void EndLine() {
    buffer_.append(end_);
    ++stats_.lines;
    if (buffer_.size() >= kChunk) {
      Flush();
    }
    lineStart_ = buffer_.size();
  }
  void Flush() {
    stats_.bytes += static_cast<std::int64_t>(buffer_.size());
    sink_(buffer_);
    buffer_.clear();
    lineStart_ = 0;
  }

 private:
  static constexpr std::size_t kChunk = 1 << 16;
  const ChunkSink& sink_;
  std::string_view end_;
  CaptureStats& stats_;
  std::string buffer_;
  std::size_t lineStart_ = 0;
};

// The router's timer text: hh:mm:ss below a day, then 1d02h, 2w3d, 1y5w.
void PrintUptime(Printer& out, std::int64_t seconds) {
  if (seconds < kDay) {
    out.TwoDigits(seconds / kHour);
    out.Text(":");
    out.TwoDigits(seconds % kHour / kMinute);
    out.Text(":");
    out.TwoDigits(seconds % kMinute);
  } else if (seconds < kWeek) {
    out.Number(static_cast<std::uint64_t>(seconds / kDay));
    out.Text("d");
    out.TwoDigits(seconds % kDay / kHour);
    out.Text("h");
  } else if (seconds < kYear) {
    out.Number(static_cast<std::uint64_t>(seconds / kWeek));
    out.Text("w");
    out.Number(static_cast<std::uint64_t>(seconds % kWeek / kDay));
    out.Text("d");
  } else {
    out.Number(static_cast<std::uint64_t>(seconds / kYear));
    out.Text("y");
    out.Number(static_cast<std::uint64_t>(seconds % kYear / kWeek));
    out.Text("w");
  }
}

// "[distance/metric] via hop, uptime, interface" of one path.
void PrintPath(Printer& out, const Table& table, const Route& route, const Path& path) {
  out.Text("[");
  out.Number(static_cast<std::uint64_t>(Distance(route.kind)));
  out.Text("/");
  out.Number(route.metric);
  out.Text("] via ");
  out.Address(path.hop);
  if (HasTimer(route.kind)) {
    out.Text(", ");
    PrintUptime(out, route.uptime);
  }
  if (path.iface != kNoInterface) {
    out.Text(", ");
    out.Text(table.interfaces[path.iface]);
  }
}

void PrintRoute(Printer& out, const Table& table, const Route& route, bool underHeader,
                bool showMask, CaptureStats& stats) {
  ++stats.routes;
  out.Text(CodeText(route.kind));
  out.PadTo(underHeader ? 9 : 6);
  out.Address(route.dest);
  if (showMask) {
    out.Text("/");
    out.Number(route.len);
  }
  if (route.kind == Kind::kConnected || route.kind == Kind::kLocal) {
    out.Text(" is directly connected, ");
    out.Text(table.interfaces[route.paths[0].iface]);
    out.EndLine();
    return;
  }
  out.Text(" ");
  std::size_t indent = out.Column();
  if (route.wrapped) {  // the router broke the entry after the destination
    ++stats.wrapped;
    out.EndLine();
    indent = 11;
    out.Blanks(indent);
  }
  PrintPath(out, table, route, route.paths[0]);
  out.EndLine();
  for (int p = 1; p < route.pathCount; ++p) {
    ++stats.extraPaths;
    out.Blanks(indent);  // under the first path's "["
    PrintPath(out, table, route, route.paths[static_cast<std::size_t>(p)]);
    out.EndLine();
  }
}

void PrintHeader(Printer& out, const std::vector<Route>& routes, const Item& item,
                 bool& singleMask) {
  const Route& first = routes[item.first];
  const int classLen = ClassfulLength(first.dest);
  std::array<bool, 33> lengths{};
  for (std::size_t k = item.first; k < item.first + item.count; ++k) {
    lengths[routes[k].len] = true;
  }
  const auto masks = std::count(lengths.begin(), lengths.end(), true);
  singleMask = masks == 1;
  out.Blanks(6);
  out.Address(first.dest & MaskOf(classLen));
  out.Text("/");
  out.Number(singleMask ? first.len : static_cast<std::uint64_t>(classLen));
  out.Text(singleMask ? " is subnetted, " : " is variably subnetted, ");
  out.Number(item.count);
  out.Text(" subnets");
  if (!singleMask) {
    out.Text(", ");
    out.Number(static_cast<std::uint64_t>(masks));
    out.Text(" masks");
  }
  out.EndLine();
}

// The age of a Junos entry: "3w3d 03:12:45", "6d 01:55:50", "00:41:59".
void PrintJunosAge(Printer& out, std::int64_t seconds) {
  if (seconds >= kWeek) {
    out.Number(static_cast<std::uint64_t>(seconds / kWeek));
    out.Text("w");
  }
  if (seconds >= kDay) {
    out.Number(static_cast<std::uint64_t>(seconds % kWeek / kDay));
    out.Text("d ");
  }
  out.TwoDigits(seconds % kDay / kHour);
  out.Text(":");
  out.TwoDigits(seconds % kHour / kMinute);
  out.Text(":");
  out.TwoDigits(seconds % kMinute);
}

// Junos's protocol and preference of a route kind; EIGRP, which Junos lacks, prints as OSPF.
std::string_view JunosProtocol(Kind kind) {
  switch (kind) {
    case Kind::kBgpExternal:
    case Kind::kBgpInternal:
      return "BGP/170";
    case Kind::kOspfExternal1:
    case Kind::kOspfExternal2:
    case Kind::kEigrpExternal:
      return "OSPF/150";
    case Kind::kStatic:
    case Kind::kDefault:
      return "Static/5";
    case Kind::kConnected:
      return "Direct/0";
    case Kind::kLocal:
      return "Local/0";
    default:
      return "OSPF/10";
  }
}

bool IsBgp(Kind kind) {
  return kind == Kind::kBgpExternal || kind == Kind::kBgpInternal;
}

// Interface names as Junos and Linux spell them, by the table's interface number.
std::vector<std::string> InterfaceNames(const Table& table, bool junos) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < table.interfaces.size(); ++i) {
    names.push_back(junos ? "ge-0/0/" + std::to_string(i % 48) + "." + std::to_string(i / 48)
                          : "eth" + std::to_string(i));
  }
  return names;
}

// One destination of "show route" with its active entry, the AS path of BGP, and its next hops
// (the first selected); a path without an interface leaves by the uplink.
void PrintJunosRoute(Printer& out, const std::vector<std::string>& names, const Route& route,
                     CaptureStats& stats) {
  ++stats.routes;
  out.Address(route.dest);
  out.Text("/");
  out.Number(route.len);
  out.PadTo(19);
  out.Text("*[");
  out.Text(JunosProtocol(route.kind));
  out.Text("] ");
  PrintJunosAge(out, HasTimer(route.kind) ? route.uptime : 29 * kWeek + 6 * kDay + 77755);
  if (IsBgp(route.kind)) {
    if (route.metric > 0) {
      out.Text(", MED ");
      out.Number(route.metric);
    }
    out.Text(", localpref 100");
    if (route.kind == Kind::kBgpInternal) {
      out.Text(", from ");
      out.Address(route.paths[0].hop);
    }
    out.EndLine();
    out.Blanks(22);
    if (route.kind == Kind::kBgpExternal) {
      out.Text("AS path: 64500 ");
      out.Number(64512 + (route.dest >> 12) % 1000);
      out.Text(" I, validation-state: unverified");
    } else {
      out.Text("AS path: I, validation-state: unverified");
    }
  } else if (route.kind != Kind::kConnected && route.kind != Kind::kLocal &&
             route.kind != Kind::kStatic && route.kind != Kind::kDefault) {
    out.Text(", metric ");
    out.Number(route.metric);
  }
  out.EndLine();
  for (int p = 0; p < route.pathCount; ++p) {
    const Path& path = route.paths[static_cast<std::size_t>(p)];
    const std::string& name = names[path.iface == kNoInterface ? 0 : path.iface];
    if (route.kind == Kind::kLocal) {
      out.Blanks(22);
      out.Text("Local via ");
    } else {
      stats.extraPaths += p > 0 ? 1 : 0;
      out.Blanks(20);
      out.Text(p == 0 ? "> " : "  ");
      if (route.kind != Kind::kConnected) {
        out.Text("to ");
        out.Address(path.hop);
        out.Text(" ");
      }
      out.Text("via ");
    }
    out.Text(name);
    out.EndLine();
  }
}

// Linux's protocol of a route kind, as iproute2 names the routing daemons' protocols.
std::string_view LinuxProtocol(Kind kind) {
  switch (kind) {
    case Kind::kBgpExternal:
    case Kind::kBgpInternal:
      return "bgp";
    case Kind::kEigrp:
    case Kind::kEigrpExternal:
      return "eigrp";
    case Kind::kStatic:
    case Kind::kDefault:
      return "static";
    case Kind::kConnected:
    case Kind::kLocal:
      return "kernel";
    default:
      return "ospf";
  }
}

// One route of "ip route show table all": host routes without their length, local addresses
// in table local, equal-cost paths as "nexthop" lines under the route.
void PrintLinuxRoute(Printer& out, const std::vector<std::string>& names, const Route& route,
                     CaptureStats& stats) {
  ++stats.routes;
  if (route.kind == Kind::kLocal) {
    out.Text("local ");
  }
  if (route.len == 0) {
    out.Text("default");
  } else {
    out.Address(route.dest);
    if (route.len != 32) {
      out.Text("/");
      out.Number(route.len);
    }
  }
  const auto hop = [&](const Path& path) {
    if (route.kind != Kind::kConnected && route.kind != Kind::kLocal) {
      out.Text(" via ");
      out.Address(path.hop);
    }
    out.Text(" dev ");
    out.Text(names[path.iface == kNoInterface ? 0 : path.iface]);
  };
  if (route.pathCount == 1) {
    hop(route.paths[0]);
  }
  if (route.kind == Kind::kLocal) {
    out.Text(" table local");
  }
  out.Text(" proto ");
  out.Text(LinuxProtocol(route.kind));
  if (route.kind == Kind::kConnected || route.kind == Kind::kLocal) {
    out.Text(route.kind == Kind::kLocal ? " scope host src " : " scope link src ");
    out.Address(route.kind == Kind::kLocal ? route.dest : route.dest + 1);
  } else if (route.kind != Kind::kStatic && route.kind != Kind::kDefault) {
    out.Text(" metric ");
    out.Number(IsBgp(route.kind) ? 20 : route.metric);
  }
  out.EndLine();
  if (route.pathCount > 1) {
    for (int p = 0; p < route.pathCount; ++p) {
      ++stats.extraPaths;
      out.Text("\tnexthop");
      hop(route.paths[static_cast<std::size_t>(p)]);
      out.Text(" weight 1");
      out.EndLine();
    }
  }
}

// The table in Junos's or Linux's form, in ascending order unless shuffled.
void PrintOtherPlatform(Printer& out, const CaptureOptions& options, const Table& table,
                        CaptureStats& stats) {
  const bool junos = options.format == Format::kJunos;
  const std::vector<std::string> names = InterfaceNames(table, junos);
  if (junos) {
    out.Text("user@");
    out.Text(options.hostname);
    out.Text("> show route | no-more");
    out.EndLine();
    out.EndLine();
    const auto count = static_cast<std::uint64_t>(table.routes.size());
    out.Text("inet.0: ");
    out.Number(count);
    out.Text(" destinations, ");
    out.Number(count);
    out.Text(" routes (");
    out.Number(count);
    out.Text(" active, 0 holddown, 0 hidden)");
    out.EndLine();
    out.Text("+ = Active Route, - = Last Active, * = Both");
    out.EndLine();
    out.EndLine();
  } else {
    out.Text("root@");
    out.Text(options.hostname);
    out.Text(":~# ip route show table all");
    out.EndLine();
  }
  for (const Route& route : table.routes) {
    (junos ? PrintJunosRoute : PrintLinuxRoute)(out, names, route, stats);
  }
  if (junos) {
    out.EndLine();
    out.Text("user@");
    out.Text(options.hostname);
    out.Text("> ");
  } else {
    out.Text("root@");
    out.Text(options.hostname);
    out.Text(":~# ");
  }
  ++stats.lines;
  out.Flush();
}

template <typename T>
void Shuffle(Random& random, T first, T last) {
  const auto n = last - first;
  for (auto i = n - 1; i > 0; --i) {
    std::swap(first[i],
              first[static_cast<decltype(n)>(random.Below(static_cast<std::uint64_t>(i) + 1))]);
  }
}

}  // namespace

CaptureStats GenerateCapture(const CaptureOptions& options, const ChunkSink& sink) {
  if (options.routes < 0) {
    throw std::invalid_argument("the route count is negative");
  }
  const Mix& mix = MixOf(options.profile);
  Table table = BuildTable(options.seed, options.routes, mix);
  if (options.after) {
    ApplyChanges(options.seed, mix, table);
  }
  std::sort(table.routes.begin(), table.routes.end(), [](const Route& a, const Route& b) {
    return a.dest != b.dest ? a.dest < b.dest : a.len < b.len;
  });
  CaptureStats stats;
  Printer out(sink, options.crlf, stats);
  if (options.format != Format::kIos) {
    if (options.shuffle) {
      Random random(options.seed ^ 0xD1B54A32D192ED03ULL);
      Shuffle(random, table.routes.begin(), table.routes.end());
    }
    PrintOtherPlatform(out, options, table, stats);
    return stats;
  }
  std::vector<Item> items = GroupByClassfulNetwork(table.routes);
  if (options.shuffle) {
    Random random(options.seed ^ 0xD1B54A32D192ED03ULL);
    Shuffle(random, items.begin(), items.end());
    for (const Item& item : items) {
      const auto first = table.routes.begin() + static_cast<std::ptrdiff_t>(item.first);
      Shuffle(random, first, first + static_cast<std::ptrdiff_t>(item.count));
    }
  }

  out.Text(options.hostname);
  out.Text("#show ip route");
  out.EndLine();
  for (const std::string_view line : kLegend) {
    out.Text(line);
    out.EndLine();
  }
  out.EndLine();
  out.Text("Gateway of last resort is 10.0.0.1 to network 0.0.0.0");
  out.EndLine();
  out.EndLine();
  for (const Item& item : items) {
    if (!item.header) {
      PrintRoute(out, table, table.routes[item.first], false, true, stats);
      continue;
    }
    ++stats.headers;
    bool singleMask = false;
    PrintHeader(out, table.routes, item, singleMask);
    for (std::size_t k = item.first; k < item.first + item.count; ++k) {
      PrintRoute(out, table, table.routes[k], true, !singleMask, stats);
    }
  }
  // The capture ends at the prompt, where the cursor stood.
  out.Text(options.hostname);
  out.Text("#");
  ++stats.lines;
  out.Flush();
  return stats;
}

std::string GenerateCaptureText(const CaptureOptions& options, CaptureStats* stats) {
  std::string text;
  const CaptureStats result =
      GenerateCapture(options, [&text](std::string_view piece) { text.append(piece); });
  if (stats != nullptr) {
    *stats = result;
  }
  return text;
}

}  // namespace kestrelon::bench
