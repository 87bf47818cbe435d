#include "files/line_cursor.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrelon::files {
namespace {

// Whether any byte of word equals the byte that fills pattern (bit trick, no false positives
// after the exact check below).
std::uint64_t HasByte(std::uint64_t word, std::uint64_t pattern) {
  const std::uint64_t x = word ^ pattern;
  return (x - 0x0101010101010101ULL) & ~x & 0x8080808080808080ULL;
}

}  // namespace

std::size_t FindLineEnd(std::string_view bytes, std::size_t from) {
  const char* data = bytes.data();
  const std::size_t size = bytes.size();
  std::size_t i = from;
#if defined(__SSE2__)
  // Sixteen bytes at a time: one compare per line-end byte, one mask.
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr = _mm_set1_epi8('\r');
  while (i + 16 <= size) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const int mask =
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, lf), _mm_cmpeq_epi8(chunk, cr)));
    if (mask != 0) {
      return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
    i += 16;
  }
#endif
  // Eight bytes at a time; CR-only files make a search for LF alone quadratic.
  while (i + 8 <= size) {
    std::uint64_t word;
    std::memcpy(&word, data + i, 8);
    if (HasByte(word, 0x0A0A0A0A0A0A0A0AULL) | HasByte(word, 0x0D0D0D0D0D0D0D0DULL)) {
      break;
    }
    i += 8;
  }
  for (; i < size; ++i) {
    if (data[i] == '\n' || data[i] == '\r') {
      return i;
    }
  }
  return size;
}

std::string_view LineCursor::Next() {
  const std::size_t end = FindLineEnd(bytes_, position_);
  const std::string_view line = bytes_.substr(position_, end - position_);
  position_ = end;
  if (position_ < bytes_.size()) {
    if (bytes_[position_] == '\r' && position_ + 1 < bytes_.size() &&
        bytes_[position_ + 1] == '\n') {
      position_ += 2;
    } else {
      position_ += 1;
    }
  }
  return line;
}

std::string_view LineCursor::Peek() const {
  const std::size_t end = FindLineEnd(bytes_, position_);
  return bytes_.substr(position_, end - position_);
}

}  // namespace kestrelon::files
