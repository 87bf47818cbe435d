#include "bench/heap_counter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace kestrelon::bench {
namespace {

std::atomic<std::size_t> held{0};
std::atomic<std::size_t> peak{0};

void* Take(std::size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) {
    throw std::bad_alloc();
  }
  // The usable size, so that a delete without a size gives back exactly what was counted.
  const std::size_t now = held.fetch_add(malloc_usable_size(p)) + malloc_usable_size(p);
  std::size_t seen = peak.load();
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
  return p;
}

void Give(void* p) {
  if (p != nullptr) {
    held.fetch_sub(malloc_usable_size(p));
    std::free(p);
  }
}

}  // namespace

std::size_t HeapPeakBytes() {
  return peak.load();
}

}  // namespace kestrelon::bench

// The nothrow forms of the standard library call these; the aligned forms are left alone (they
// allocate and free through their own pair).
void* operator new(std::size_t size) {
  return kestrelon::bench::Take(size);
}
void* operator new[](std::size_t size) {
  return kestrelon::bench::Take(size);
}
void operator delete(void* p) noexcept {
  kestrelon::bench::Give(p);
}
void operator delete[](void* p) noexcept {
  kestrelon::bench::Give(p);
}
void operator delete(void* p, std::size_t) noexcept {
  kestrelon::bench::Give(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  kestrelon::bench::Give(p);
}
