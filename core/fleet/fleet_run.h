// A folder diff: the captures of two folders paired by device and each pair diffed on a pool
// of threads, every diff streamed to a private file, so memory grows with the pairs in flight
// and not with the fleet. The command line and the window both call RunFleet.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "report/fleet_report.h"
#include "tables/route_diff.h"

namespace kestrelon::fleet {

// How captures find their partner: by the prompt's host where both have one, else by file name
// (kAuto); or only one way.
enum class PairBy { kAuto, kHost, kName };

// "auto", "host", "name".
std::string_view PairByName(PairBy pairBy);

// The K-th (from 1) of N shares of the devices.
struct Shard {
  std::size_t index = 1;
  std::size_t count = 1;
};

struct FleetOptions {
  std::string beforeFolder;
  std::string afterFolder;
  tables::DiffOptions diff;
  PairBy pairBy = PairBy::kAuto;
  std::optional<Shard> shard;
  std::size_t jobs = 0;  // pairs diffed at once; 0: one per core
  // Seconds since 1970 the report says it was made; none: ReportTime().
  std::optional<std::int64_t> madeAt;
};

// Called on a worker thread as each pair is done: pairs done, pairs in all.
using FleetProgress = std::function<void(std::size_t done, std::size_t total)>;

// Thrown by RunFleet when cancel was set; nothing of the run is left behind.
class FleetCancelled : public std::runtime_error {
 public:
  FleetCancelled() : std::runtime_error("the folder diff was cancelled") {}
};

// Pairs the captures of both folders and diffs each pair (a capture that cannot be read makes
// its device unreadable, with the reason; the run goes on). Throws FileError for a folder that
// cannot be listed, two folders without a capture, or two captures of one device on one side
// (naming both); FleetCancelled once cancel is set (checked between pairs).
report::FleetReport RunFleet(const FleetOptions& options, const FleetProgress& progress,
                             std::atomic<bool>& cancel);

}  // namespace kestrelon::fleet
