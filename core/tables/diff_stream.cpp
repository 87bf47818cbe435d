#include "tables/diff_stream.h"

#include "tables/short_text.h"

namespace kestrelon::tables {

DiffStream::Batch* DiffStream::TakeFree() {
  std::unique_lock<std::mutex> hold(lock_);
  changed_.wait(hold, [&] {
    return cancelled_ || !free_.empty() || unbounded_ || batches_.size() < kBatches;
  });
  if (cancelled_) {
    return nullptr;
  }
  if (!free_.empty()) {
    Batch* batch = free_.back();
    free_.pop_back();
    return batch;
  }
  return batches_.emplace_back(std::make_unique<Batch>()).get();
}

std::uint32_t DiffStream::VrfId(std::string_view vrf) {
  const auto [at, added] =
      vrfIds_.try_emplace(std::string(vrf), static_cast<std::uint32_t>(vrfs_.size()));
  if (added) {
    vrfs_.emplace_back(vrf);
    filling_->newVrfs.emplace_back(vrf);
  }
  return at->second;
}

void DiffStream::Count(std::string_view vrf, std::string_view protocol) {
  // Consecutive routes mostly share their VRF and protocol.
  if (lastCount_ == nullptr || !SameText(vrf, vrfs_[lastVrf_])) {
    lastVrf_ = VrfId(vrf);
    lastCount_ = nullptr;
  }
  if (lastCount_ == nullptr || !SameText(protocol, lastProtocol_)) {
    lastProtocol_ = protocol;
    lastCount_ = &protocols_[{lastVrf_, lastProtocol_}];  // a map never moves its values
  }
  ++*lastCount_;
}

void DiffStream::Put(const RouteView& route) {
  ++routes_;  // counted even when cancelled, so that the reader's checks still hold
  if (across_ && route.selected == false) {
    ++leftOut_;
    return;
  }
  if (filling_ == nullptr && (filling_ = TakeFree()) == nullptr) {
    return;  // cancelled
  }
  Count(route.vrf, across_ ? SourceName(route.source) : route.protocol);
  PairKey& key = filling_->keys.emplace_back();
  key.vrf = lastVrf_;
  key.afi = route.afi;
  key.route = static_cast<std::uint32_t>(filling_->routes.size());
  ReadPrefixKey(route.prefix, key);
  filling_->routes.Put(route);
  if (filling_->keys.size() == batchRoutes_) {
    {
      const std::lock_guard<std::mutex> hold(lock_);
      full_.push_back(filling_);
    }
    changed_.notify_all();
    filling_ = nullptr;
  }
}

void DiffStream::Close() {
  {
    const std::lock_guard<std::mutex> hold(lock_);
    if (filling_ != nullptr && !filling_->keys.empty()) {
      full_.push_back(filling_);
    } else if (filling_ != nullptr) {
      free_.push_back(filling_);
    }
    filling_ = nullptr;
    closed_ = true;
  }
  changed_.notify_all();
}

DiffStream::Batch* DiffStream::Next() {
  std::unique_lock<std::mutex> hold(lock_);
  changed_.wait(hold, [&] { return cancelled_ || closed_ || !full_.empty(); });
  if (cancelled_ || full_.empty()) {
    return nullptr;
  }
  Batch* batch = full_.front();
  full_.pop_front();
  return batch;
}

void DiffStream::Recycle(Batch* batch) {
  batch->routes.Clear();
  batch->keys.clear();
  batch->newVrfs.clear();
  {
    const std::lock_guard<std::mutex> hold(lock_);
    free_.push_back(batch);
  }
  changed_.notify_all();
}

void DiffStream::Cancel() {
  {
    const std::lock_guard<std::mutex> hold(lock_);
    cancelled_ = true;
  }
  changed_.notify_all();
}

std::map<std::string, std::size_t> DiffStream::VrfCounts() const {
  std::map<std::string, std::size_t> counts;
  for (const auto& [key, count] : protocols_) {
    counts[vrfs_[key.first]] += count;
  }
  return counts;
}

std::map<std::pair<std::string, std::string>, std::size_t> DiffStream::ProtocolCounts() const {
  std::map<std::pair<std::string, std::string>, std::size_t> counts;
  for (const auto& [key, count] : protocols_) {
    counts[{vrfs_[key.first], key.second}] += count;
  }
  return counts;
}

}  // namespace kestrelon::tables
