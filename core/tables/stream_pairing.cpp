#include "tables/stream_pairing.h"

#include <algorithm>
#include <unordered_map>

namespace kestrelon::tables {
namespace {

// The VRF names of both streams, each with one id.
struct VrfNames {
  std::unordered_map<std::string, std::uint32_t> ids;
  std::vector<std::string> names;  // by id

  std::uint32_t Id(const std::string& name) {
    const auto [at, added] = ids.try_emplace(name, static_cast<std::uint32_t>(names.size()));
    if (added) {
      names.push_back(name);
    }
    return at->second;
  }
};

// The routes of one stream, one at a time, skipping those of VRFs that do not count.
class Cursor {
 public:
  Cursor(DiffStream& stream, const std::vector<std::string>& onlyVrfs, VrfNames& vrfs)
      : stream_(stream), onlyVrfs_(onlyVrfs), vrfs_(vrfs) {}
  ~Cursor() {
    if (batch_ != nullptr) {
      stream_.Recycle(batch_);
    }
  }
  Cursor(const Cursor&) = delete;
  Cursor& operator=(const Cursor&) = delete;

  // Moves to the next route that counts (the first one, the first time); false at the end.
  bool Advance() {
    if (batch_ != nullptr) {
      ++at_;
    }
    while (true) {
      if (batch_ != nullptr) {
        while (at_ < batch_->keys.size() && !counts_[batch_->keys[at_].vrf]) {
          ++at_;
        }
        if (at_ < batch_->keys.size()) {
          break;
        }
        stream_.Recycle(batch_);
      }
      batch_ = stream_.Next();
      at_ = 0;
      if (batch_ == nullptr) {
        return false;
      }
      for (const std::string& name : batch_->newVrfs) {
        Learn(name);
      }
    }
    // Still in order: no key before the last one.
    if (inOrder_ && hasLast_ && Compare(*this, last_, lastVrf_, lastPrefix_) < 0) {
      inOrder_ = false;
    }
    hasLast_ = true;
    last_ = key();
    lastVrf_ = globalVrf();
    if (key().named != 0) {
      lastPrefix_ = std::string(Prefix());
    }
    return true;
  }

  bool inOrder() const { return inOrder_; }
  const PairKey& key() const { return batch_->keys[at_]; }
  std::uint32_t globalVrf() const { return global_[key().vrf]; }
  const RouteTable& routes() const { return batch_->routes; }
  std::string_view Prefix() const { return routes().At(key().route, hops_).prefix; }

  // Gives the route to keep.
  void KeepIn(DiffSide& side) const { side.Put(routes().At(key().route, hops_)); }

  // The order of this cursor's route against a key of any stream: -1, 0 or 1.
  static int Compare(const Cursor& cursor, const PairKey& key, std::uint32_t globalVrf,
                     std::string_view namedPrefix) {
    if (cursor.globalVrf() != globalVrf) {
      return CompareVrfNames(cursor.vrfs_.names[cursor.globalVrf()], cursor.vrfs_.names[globalVrf]);
    }
    if (const int order = cursor.key().CompareInVrf(key); order != 0 || key.named == 0) {
      return order;
    }
    const int text = cursor.Prefix().compare(namedPrefix);
    return text < 0 ? -1 : text > 0 ? 1 : 0;
  }

 private:
  void Learn(const std::string& name) {
    counts_.push_back(onlyVrfs_.empty() ||
                      std::find(onlyVrfs_.begin(), onlyVrfs_.end(), name) != onlyVrfs_.end());
    global_.push_back(vrfs_.Id(name));
  }

  DiffStream& stream_;
  const std::vector<std::string>& onlyVrfs_;
  VrfNames& vrfs_;
  DiffStream::Batch* batch_ = nullptr;
  std::size_t at_ = 0;
  std::vector<std::uint32_t> global_;  // by the stream's VRF id
  std::vector<char> counts_;           // by the stream's VRF id
  bool inOrder_ = true;
  bool hasLast_ = false;
  PairKey last_;
  std::uint32_t lastVrf_ = 0;
  std::string lastPrefix_;
  mutable std::vector<NextHopView> hops_;
};

// Whether two routes of one key hold the same record, but for what is ignored, byte for byte.
bool SameBytes(const Cursor& b, const Cursor& a, RouteFields ignored) {
  const std::uint32_t i = b.key().route;
  const std::uint32_t j = a.key().route;
  return b.routes().PackedFields(i) == a.routes().PackedFields(j) &&
         (ignored.Has(RouteField::kUptime) ||
          b.routes().PackedUptime(i) == a.routes().PackedUptime(j));
}

}  // namespace

void KeepWhatMayDiffer(DiffStream& before, DiffStream& after,
                       const std::vector<std::string>& onlyVrfs, RouteFields ignored,
                       DiffSide& keepBefore, DiffSide& keepAfter) {
  VrfNames vrfs;
  Cursor b(before, onlyVrfs, vrfs);
  Cursor a(after, onlyVrfs, vrfs);
  bool hasB = b.Advance();
  bool hasA = a.Advance();
  while (hasB && hasA && b.inOrder() && a.inOrder()) {
    const int order = Cursor::Compare(b, a.key(), a.globalVrf(),
                                      a.key().named != 0 ? a.Prefix() : std::string_view());
    if (order < 0) {
      b.KeepIn(keepBefore);
      hasB = b.Advance();
    } else if (order > 0) {
      a.KeepIn(keepAfter);
      hasA = a.Advance();
    } else {
      if (!SameBytes(b, a, ignored)) {
        b.KeepIn(keepBefore);
        a.KeepIn(keepAfter);
      }
      hasB = b.Advance();
      hasA = a.Advance();
    }
  }
  // The rest: one stream has ended, or one has left the order.
  for (; hasB; hasB = b.Advance()) {
    b.KeepIn(keepBefore);
  }
  for (; hasA; hasA = a.Advance()) {
    a.KeepIn(keepAfter);
  }
}

}  // namespace kestrelon::tables
