// One capture's routes on their way from its reader, on a thread of its own, to the pairing of
// a route diff: packed into batches and handed over through a short queue, so that the routes
// found equal are never held; counted per VRF and protocol as they come.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "tables/diff_side.h"
#include "tables/route_table.h"

namespace kestrelon::tables {

class DiffStream : public RouteSink {
 public:
  struct Batch {
    RouteTable routes;
    std::vector<PairKey> keys;  // vrf: the stream's id of the VRF; route: the index in routes
    std::vector<std::string> newVrfs;  // the names of the stream's VRF ids first used here
  };

  // unbounded: the reader never waits for the pairing (both run on one thread, one after the
  // other), so every batch is held until taken.
  explicit DiffStream(std::size_t batchRoutes = kBatchRoutes, bool unbounded = false)
      : batchRoutes_(batchRoutes), unbounded_(unbounded) {}

  // Before the first route: the diff compares two platforms' tables. Routes are then counted by
  // source, and those the platform marks as not in use are left out (the other platform may
  // print none).
  void AcrossPlatforms() { across_ = true; }
  // The reader's side, on its thread.
  void Put(const RouteView& route) override;
  // Hands the last batch over: the pairing's Next ends after it.
  void Close();

  // The pairing's side. The next batch, once there is one; none when the stream is closed and
  // every batch taken.
  Batch* Next();
  // Gives a batch taken back, to be filled again.
  void Recycle(Batch* batch);
  // The pairing gives up: from now on the reader's Put and Close return at once.
  void Cancel();

  // Once the reader is done: the routes put, and their counts per VRF and per VRF and protocol.
  std::size_t routes() const { return routes_; }
  // The routes left out as not in use.
  std::size_t leftOut() const { return leftOut_; }
  std::map<std::string, std::size_t> VrfCounts() const;
  std::map<std::pair<std::string, std::string>, std::size_t> ProtocolCounts() const;

  static constexpr std::size_t kBatchRoutes = 8192;

 private:
  static constexpr std::size_t kBatches = 4;  // at most, per stream: a few MiB

  Batch* TakeFree();
  std::uint32_t VrfId(std::string_view vrf);
  void Count(std::string_view vrf, std::string_view protocol);

  const std::size_t batchRoutes_;
  const bool unbounded_;
  // The reader's own.
  Batch* filling_ = nullptr;
  std::size_t routes_ = 0;
  bool across_ = false;
  std::size_t leftOut_ = 0;
  std::vector<std::string> vrfs_;
  std::unordered_map<std::string, std::uint32_t> vrfIds_;
  std::uint32_t lastVrf_ = 0;
  // The routes per VRF id and protocol; those of the last route's pair counted on at once.
  std::map<std::pair<std::uint32_t, std::string>, std::size_t> protocols_;
  std::string lastProtocol_;
  std::size_t* lastCount_ = nullptr;
  // Shared, under the lock.
  std::mutex lock_;
  std::condition_variable changed_;
  std::vector<std::unique_ptr<Batch>> batches_;
  std::deque<Batch*> full_;
  std::vector<Batch*> free_;
  bool closed_ = false;
  bool cancelled_ = false;
};

}  // namespace kestrelon::tables
