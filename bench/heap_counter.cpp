#include "bench/heap_counter.h"

#include <malloc.h>

#include <atomic>
#include <cerrno>

// glibc's own allocator, under the names it also exports.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);
}

namespace kestrelon::bench {
namespace {

std::atomic<std::size_t> held{0};
std::atomic<std::size_t> peak{0};

// Counts a block by its usable size, which free gives back exactly.
void* Count(void* block) {
  if (block != nullptr) {
    const std::size_t now = held.fetch_add(malloc_usable_size(block)) + malloc_usable_size(block);
    std::size_t seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
  }
  return block;
}

void Uncount(void* block) {
  if (block != nullptr) {
    held.fetch_sub(malloc_usable_size(block));
  }
}

}  // namespace

std::size_t HeapPeakBytes() {
  return peak.load();
}

}  // namespace kestrelon::bench

// A realloc that grows a large block moves its pages without a copy: it is counted as the block
// given back, then the new one taken, never both at once.
extern "C" {
void* malloc(std::size_t size) {
  return kestrelon::bench::Count(__libc_malloc(size));
}
void* calloc(std::size_t count, std::size_t size) {
  return kestrelon::bench::Count(__libc_calloc(count, size));
}
void* realloc(void* block, std::size_t size) {
  const std::size_t before = block != nullptr ? malloc_usable_size(block) : 0;
  void* moved = __libc_realloc(block, size);
  if (moved != nullptr || size == 0) {
    kestrelon::bench::held.fetch_sub(before);
    kestrelon::bench::Count(moved);
  }
  return moved;
}
void free(void* block) {
  kestrelon::bench::Uncount(block);
  __libc_free(block);
}
void* memalign(std::size_t alignment, std::size_t size) {
  return kestrelon::bench::Count(__libc_memalign(alignment, size));
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
  return kestrelon::bench::Count(__libc_memalign(alignment, size));
}
int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
  void* block = kestrelon::bench::Count(__libc_memalign(alignment, size));
  if (block == nullptr) {
    return ENOMEM;
  }
  *result = block;
  return 0;
}
}
