// Copying and comparing the short texts a route is made of ("B", "10.1.0.0/16", "1d02h")
// without a call into the C library, which costs more than the few bytes themselves. Neither
// reads nor writes a byte outside the texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace kestrelon::tables {
namespace short_text {

// Two words of size bytes at in: the first and the last, overlapping when size < 2 words.
template <typename Word>
struct Ends {
  Word first;
  Word last;
  Ends(const char* in, std::size_t size) {
    std::memcpy(&first, in, sizeof(Word));
    std::memcpy(&last, in + size - sizeof(Word), sizeof(Word));
  }
  void Put(char* out, std::size_t size) const {
    std::memcpy(out, &first, sizeof(Word));
    std::memcpy(out + size - sizeof(Word), &last, sizeof(Word));
  }
  bool operator==(const Ends&) const = default;
};

}  // namespace short_text

// Copies text to out; returns the end of the copy.
inline char* CopyText(char* out, std::string_view text) {
  const std::size_t size = text.size();
  const char* in = text.data();
  if (size >= 8 && size <= 16) {
    short_text::Ends<std::uint64_t>(in, size).Put(out, size);
  } else if (size >= 4 && size < 8) {
    short_text::Ends<std::uint32_t>(in, size).Put(out, size);
  } else if (size > 0 && size < 4) {
    out[0] = in[0];
    out[size / 2] = in[size / 2];
    out[size - 1] = in[size - 1];
  } else if (size > 16) {
    std::memcpy(out, in, size);
  }
  return out + size;
}

inline bool SameText(std::string_view a, std::string_view b) {
  const std::size_t size = a.size();
  if (size != b.size()) {
    return false;
  }
  if (size >= 8 && size <= 16) {
    return short_text::Ends<std::uint64_t>(a.data(), size) ==
           short_text::Ends<std::uint64_t>(b.data(), size);
  }
  if (size >= 4 && size < 8) {
    return short_text::Ends<std::uint32_t>(a.data(), size) ==
           short_text::Ends<std::uint32_t>(b.data(), size);
  }
  if (size < 4) {
    return size == 0 || (a[0] == b[0] && a[size / 2] == b[size / 2] && a[size - 1] == b[size - 1]);
  }
  return std::memcmp(a.data(), b.data(), size) == 0;
}

}  // namespace kestrelon::tables
