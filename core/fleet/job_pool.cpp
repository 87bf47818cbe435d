#include "fleet/job_pool.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <thread>

namespace kestrelon::fleet {

void RunJobs(const std::vector<std::size_t>& order, std::size_t threads,
             const std::function<void(std::size_t)>& job, const std::atomic<bool>& cancel) {
  std::atomic<std::size_t> next = 0;
  std::atomic<bool> failed = false;
  std::exception_ptr first;
  std::mutex lock;
  const auto work = [&] {
    while (!cancel && !failed) {
      const std::size_t at = next++;
      if (at >= order.size()) {
        return;
      }
      try {
        job(order[at]);
      } catch (...) {
        const std::scoped_lock held(lock);
        if (!first) {
          first = std::current_exception();
        }
        failed = true;
      }
    }
  };
  std::vector<std::jthread> pool;
  const std::size_t count =
      std::clamp<std::size_t>(threads, 1, std::max<std::size_t>(order.size(), 1));
  for (std::size_t i = 1; i < count; ++i) {
    pool.emplace_back(work);
  }
  work();
  pool.clear();  // joins
  if (first) {
    std::rethrow_exception(first);
  }
}

std::size_t Cores() {
  return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace kestrelon::fleet
