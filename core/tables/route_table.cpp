#include "tables/route_table.h"

#include <algorithm>
#include <cstring>

#include "tables/short_text.h"

namespace kestrelon::tables {
namespace {

// A route's bytes: a byte of marks (IPv6, distance and metric present, selected), a byte of
// source, protocol, flags and
// prefix as texts, the distance and metric when present, the count of next hops and each hop
// (a byte of marks, then its address, interface and VRF when present); then its uptime, a
// length one more than its size, 0 when absent. A length takes one byte below 255, five above.
constexpr std::uint8_t kIpv6 = 1;
constexpr std::uint8_t kDistance = 2;
constexpr std::uint8_t kMetric = 4;
constexpr std::uint8_t kSelectedKnown = 8;
constexpr std::uint8_t kSelected = 16;
constexpr std::uint8_t kAddress = 1;
constexpr std::uint8_t kInterface = 2;
constexpr std::uint8_t kHopVrf = 4;

constexpr std::size_t kChunkSize = std::size_t{1} << 20;

std::size_t LengthSize(std::size_t length) {
  return length < 255 ? 1 : 5;
}

std::size_t TextSize(std::string_view text) {
  return LengthSize(text.size()) + text.size();
}

std::size_t TextSize(const OptionalText& text) {
  return text ? TextSize(*text) : 0;
}

char* PutLength(char* out, std::size_t length) {
  if (length < 255) {
    *out = static_cast<char>(length);
    return out + 1;
  }
  *out = static_cast<char>(255);
  const auto value = static_cast<std::uint32_t>(length);
  std::memcpy(out + 1, &value, sizeof value);
  return out + 5;
}

char* PutText(char* out, std::string_view text) {
  return CopyText(PutLength(out, text.size()), text);
}

template <typename T>
char* PutNumber(char* out, T value) {
  std::memcpy(out, &value, sizeof value);
  return out + sizeof value;
}

std::size_t GetLength(const char*& in) {
  const auto first = static_cast<unsigned char>(*in++);
  if (first < 255) {
    return first;
  }
  std::uint32_t value = 0;
  std::memcpy(&value, in, sizeof value);
  in += sizeof value;
  return value;
}

std::string_view GetText(const char*& in) {
  const std::size_t length = GetLength(in);
  const std::string_view text(in, length);
  in += length;
  return text;
}

template <typename T>
T GetNumber(const char*& in) {
  T value{};
  std::memcpy(&value, in, sizeof value);
  in += sizeof value;
  return value;
}

}  // namespace

std::uint32_t RouteTable::InternVrf(std::string_view vrf) {
  const auto found = vrfIds_.find(vrf);
  if (found != vrfIds_.end()) {
    lastVrf_ = found->second;
  } else {
    lastVrf_ = static_cast<std::uint32_t>(vrfs_.size());
    vrfIds_.emplace(vrfs_.emplace_back(vrf), lastVrf_);  // a deque never moves its strings
  }
  lastVrfName_ = vrfs_[lastVrf_];
  return lastVrf_;
}

void RouteTable::AddChunk(std::size_t size) {
  Chunk& chunk = chunks_.emplace_back();
  chunk.size = std::max(kChunkSize, size);
  chunk.bytes = std::make_unique_for_overwrite<char[]>(chunk.size);
  used_ = 0;
}

void RouteTable::Put(const RouteView& route) {
  std::size_t size = 2 + TextSize(route.protocol) + TextSize(route.flags) + TextSize(route.prefix) +
                     (route.distance ? sizeof(std::uint32_t) : 0) +
                     (route.metric ? sizeof(std::uint64_t) : 0) + LengthSize(route.nextHops.size());
  for (const NextHopView& hop : route.nextHops) {
    size += 1 + TextSize(hop.address) + TextSize(hop.interface) + TextSize(hop.vrf);
  }
  const std::size_t fieldsSize = size;
  size += route.uptime ? LengthSize(route.uptime->size() + 1) + route.uptime->size() : 1;

  // Consecutive routes share their VRF, and most fit in the last chunk.
  const std::uint32_t vrf =
      !vrfs_.empty() && SameText(lastVrfName_, route.vrf) ? lastVrf_ : InternVrf(route.vrf);
  if (chunks_.empty() || chunks_.back().size - used_ < size) {
    AddChunk(size);
  }
  Entry& entry = routes_.emplace_back();
  entry.vrf = vrf;
  entry.fieldsSize = static_cast<std::uint32_t>(fieldsSize);
  entry.chunk = static_cast<std::uint32_t>(chunks_.size() - 1);
  entry.at = static_cast<std::uint32_t>(used_);
  used_ += size;
  char* out = chunks_.back().bytes.get() + entry.at;
  *out++ =
      static_cast<char>((route.afi == Afi::kIpv6 ? kIpv6 : 0) | (route.distance ? kDistance : 0) |
                        (route.metric ? kMetric : 0) | (route.selected ? kSelectedKnown : 0) |
                        (route.selected.value_or(false) ? kSelected : 0));
  *out++ = static_cast<char>(route.source);
  out = PutText(out, route.protocol);
  out = PutText(out, route.flags);
  out = PutText(out, route.prefix);
  if (route.distance) {
    out = PutNumber(out, *route.distance);
  }
  if (route.metric) {
    out = PutNumber(out, *route.metric);
  }
  out = PutLength(out, route.nextHops.size());
  for (const NextHopView& hop : route.nextHops) {
    *out++ = static_cast<char>((hop.address ? kAddress : 0) | (hop.interface ? kInterface : 0) |
                               (hop.vrf ? kHopVrf : 0));
    if (hop.address) {
      out = PutText(out, *hop.address);
    }
    if (hop.interface) {
      out = PutText(out, *hop.interface);
    }
    if (hop.vrf) {
      out = PutText(out, *hop.vrf);
    }
  }
  if (route.uptime) {
    CopyText(PutLength(out, route.uptime->size() + 1), *route.uptime);
  } else {
    *out = 0;
  }
}

void RouteTable::Clear() {
  routes_.clear();
  chunks_.resize(std::min<std::size_t>(chunks_.size(), 1));
  used_ = 0;
}

RouteView RouteTable::At(std::size_t i, std::vector<NextHopView>& hops) const {
  const Entry& entry = routes_[i];
  const char* in = Bytes(entry);
  RouteView view;
  view.vrf = vrfs_[entry.vrf];
  const auto marks = static_cast<std::uint8_t>(*in++);
  view.afi = (marks & kIpv6) != 0 ? Afi::kIpv6 : Afi::kIpv4;
  if ((marks & kSelectedKnown) != 0) {
    view.selected = (marks & kSelected) != 0;
  }
  view.source = static_cast<RouteSource>(*in++);
  view.protocol = GetText(in);
  view.flags = GetText(in);
  view.prefix = GetText(in);
  if ((marks & kDistance) != 0) {
    view.distance = GetNumber<std::uint32_t>(in);
  }
  if ((marks & kMetric) != 0) {
    view.metric = GetNumber<std::uint64_t>(in);
  }
  const std::size_t count = GetLength(in);
  hops.resize(count);
  for (NextHopView& hop : hops) {
    const auto present = static_cast<std::uint8_t>(*in++);
    hop.address = (present & kAddress) != 0 ? OptionalText(GetText(in)) : std::nullopt;
    hop.interface = (present & kInterface) != 0 ? OptionalText(GetText(in)) : std::nullopt;
    hop.vrf = (present & kHopVrf) != 0 ? OptionalText(GetText(in)) : std::nullopt;
  }
  view.nextHops = hops;
  const std::size_t uptime = GetLength(in);
  if (uptime > 0) {
    view.uptime = std::string_view(in, uptime - 1);
  }
  return view;
}

std::string_view RouteTable::PackedUptime(std::size_t i) const {
  const Entry& entry = routes_[i];
  const char* in = Bytes(entry) + entry.fieldsSize;
  const char* start = in;
  const std::size_t length = GetLength(in);
  return {start, static_cast<std::size_t>(in - start) + (length > 0 ? length - 1 : 0)};
}

std::size_t RouteTable::MemoryBytes() const {
  std::size_t bytes = routes_.capacity() * sizeof(Entry) + chunks_.capacity() * sizeof(Chunk);
  for (const Chunk& chunk : chunks_) {
    bytes += chunk.size;
  }
  for (const std::string& vrf : vrfs_) {
    bytes += sizeof(std::string) + (vrf.capacity() > 15 ? vrf.capacity() : 0) + 48;
  }
  return bytes;
}

}  // namespace kestrelon::tables
