#include "files/utf8_text.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrelon::files {
namespace {

bool IsContinuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

}  // namespace

bool IsAscii(std::string_view text) {
  const char* p = text.data();
  std::size_t n = text.size();
#if defined(__SSE2__)
  if (n >= 16) {
    // The high bits of every 16-byte chunk gathered, the last chunk overlapping the one before.
    __m128i any = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n - 16));
    for (std::size_t i = 0; i + 16 <= n; i += 16) {
      any = _mm_or_si128(any, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)));
    }
    return _mm_movemask_epi8(any) == 0;
  }
#endif
  std::uint64_t any = 0;
  while (n >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    any |= word;
    p += 8;
    n -= 8;
  }
  for (; n > 0; --n, ++p) {
    any |= static_cast<unsigned char>(*p);
  }
  return (any & 0x8080808080808080ULL) == 0;
}

std::uint32_t DecodeChar(std::string_view text, std::size_t i, std::size_t& length) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char b0 = byte(i);
  length = 1;
  if (b0 < 0x80) {
    return b0;
  }
  const std::size_t left = text.size() - i;
  std::uint32_t cp = 0;
  std::size_t need = 0;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    need = 1;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    need = 2;
    cp = b0 & 0x0F;
    if (b0 == 0xE0)
      lo = 0xA0;
    if (b0 == 0xED)
      hi = 0x9F;  // no surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    need = 3;
    cp = b0 & 0x07;
    if (b0 == 0xF0)
      lo = 0x90;
    if (b0 == 0xF4)
      hi = 0x8F;
  } else {
    return 0xDC00u + b0;
  }
  if (left <= need || byte(i + 1) < lo || byte(i + 1) > hi) {
    return 0xDC00u + b0;
  }
  for (std::size_t k = 1; k <= need; ++k) {
    if (!IsContinuation(byte(i + k))) {
      return 0xDC00u + b0;
    }
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  length = need + 1;
  return cp;
}

std::size_t CharLength(std::string_view text, std::size_t i) {
  std::size_t length;
  DecodeChar(text, i, length);
  return length;
}

std::size_t ByteOfChar(std::string_view text, std::size_t pos) {
  std::size_t offset = 0;
  for (std::size_t k = 1; k < pos && offset < text.size(); ++k) {
    offset += CharLength(text, offset);
  }
  return offset < text.size() ? offset : text.size();
}

std::size_t CharOfByte(std::string_view text, std::size_t offset) {
  std::size_t pos = 1;
  for (std::size_t i = 0; i < offset && i < text.size(); i += CharLength(text, i)) {
    ++pos;
  }
  return pos;
}

std::size_t CharPosOf(std::string_view text, char c) {
  const std::size_t at = text.find(c);
  if (at == std::string_view::npos) {
    return 0;
  }
  return IsAscii(text.substr(0, at)) ? at + 1 : CharOfByte(text, at);
}

}  // namespace kestrelon::files
