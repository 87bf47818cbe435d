// The peak of the bytes the program holds through operator new, for the benchmark driver: it
// replaces the global allocation functions, so link it into benchmark programs only.
#pragma once

#include <cstddef>

namespace kestrelon::bench {

// The largest number of bytes held at once since the program started.
std::size_t HeapPeakBytes();

}  // namespace kestrelon::bench
