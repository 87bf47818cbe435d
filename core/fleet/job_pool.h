// Runs many independent jobs on a few threads: each thread takes the next job in the order
// given, so the largest can go first and the last to finish are small.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <vector>

namespace kestrelon::fleet {

// Runs job(i) for each i of order on threads threads (at least 1), each i once. A job that
// throws stops the others from starting more; the first exception is rethrown once all threads
// are done. Once cancel is set, no further job starts.
void RunJobs(const std::vector<std::size_t>& order, std::size_t threads,
             const std::function<void(std::size_t)>& job, const std::atomic<bool>& cancel);

// The threads a machine runs at once (at least 1).
std::size_t Cores();

}  // namespace kestrelon::fleet
