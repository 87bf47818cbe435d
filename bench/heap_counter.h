// The peak of the bytes the program holds on the heap, for the benchmark driver: it replaces the
// C allocation functions (operator new calls them), so link it into benchmark programs only.
#pragma once

#include <cstddef>

namespace kestrelon::bench {

// The largest number of bytes held at once since the program started.
std::size_t HeapPeakBytes();

}  // namespace kestrelon::bench
