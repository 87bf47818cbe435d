#include "tables/route_table.h"

namespace kestrelon::tables {

std::uint32_t RouteTable::NamePool::Intern(std::string_view name) {
  if (last_ != kAbsent && names_[last_] == name) {
    return last_;
  }
  const auto found = ids_.find(name);
  if (found != ids_.end()) {
    last_ = found->second;
    return last_;
  }
  last_ = static_cast<std::uint32_t>(names_.size());
  ids_.emplace(names_.emplace_back(name), last_);  // a deque never moves its strings
  return last_;
}

std::size_t RouteTable::NamePool::MemoryBytes() const {
  std::size_t bytes = names_.size() * sizeof(std::string) + ids_.size() * 48;
  for (const std::string& name : names_) {
    bytes += name.capacity() > 15 ? name.capacity() : 0;
  }
  return bytes;
}

std::uint32_t RouteTable::AppendText(const OptionalText& text) {
  if (!text) {
    return kAbsent;
  }
  text_.append(*text);
  return static_cast<std::uint32_t>(text->size());
}

void RouteTable::Put(const RouteView& route) {
  StoredRoute stored;
  stored.text = text_.size();
  stored.prefixSize = AppendText(route.prefix);
  stored.uptimeSize = AppendText(route.uptime);
  stored.vrf = vrfs_.Intern(route.vrf);
  stored.protocol = names_.Intern(route.protocol);
  stored.flags = names_.Intern(route.flags);
  stored.afi = route.afi;
  if (route.distance) {
    stored.distance = *route.distance;
    stored.present |= 1;
  }
  if (route.metric) {
    stored.metric = *route.metric;
    stored.present |= 2;
  }
  stored.firstHop = static_cast<std::uint32_t>(hops_.size());
  stored.hopCount = static_cast<std::uint32_t>(route.nextHops.size());
  for (const NextHopView& hop : route.nextHops) {
    StoredHop& h = hops_.emplace_back();
    h.addressSize = AppendText(hop.address);
    h.interface = names_.Intern(hop.interface);
    h.vrf = vrfs_.Intern(hop.vrf);
  }
  routes_.push_back(stored);
}

RouteView RouteTable::At(std::size_t i, std::vector<NextHopView>& hops) const {
  const StoredRoute& stored = routes_[i];
  const std::string_view text(text_);
  std::size_t at = stored.text;
  const auto take = [&](std::uint32_t size) -> OptionalText {
    if (size == kAbsent) {
      return std::nullopt;
    }
    const std::string_view piece = text.substr(at, size);
    at += size;
    return piece;
  };
  RouteView view;
  view.prefix = *take(stored.prefixSize);
  view.uptime = take(stored.uptimeSize);
  view.vrf = vrfs_.Name(stored.vrf);
  view.protocol = names_.Name(stored.protocol);
  view.flags = names_.Name(stored.flags);
  view.afi = stored.afi;
  if (stored.present & 1) {
    view.distance = stored.distance;
  }
  if (stored.present & 2) {
    view.metric = stored.metric;
  }
  hops.clear();
  for (std::uint32_t k = 0; k < stored.hopCount; ++k) {
    const StoredHop& h = hops_[stored.firstHop + k];
    NextHopView& hop = hops.emplace_back();
    hop.address = take(h.addressSize);
    hop.interface = names_.Optional(h.interface);
    hop.vrf = vrfs_.Optional(h.vrf);
  }
  view.nextHops = hops;
  return view;
}

std::size_t RouteTable::MemoryBytes() const {
  return routes_.capacity() * sizeof(StoredRoute) + hops_.capacity() * sizeof(StoredHop) +
         text_.capacity() + vrfs_.MemoryBytes() + names_.MemoryBytes();
}

}  // namespace kestrelon::tables
