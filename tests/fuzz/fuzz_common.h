// Helpers shared by the fuzz targets: a checked trap, an independent line splitter and UTF-8
// decoder, and the split of one input into two texts.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

namespace kestrelon::fuzz {

// Stops the run with a readable reason; the trap makes libFuzzer keep the input.
inline void Require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "invariant violated: %s\n", what);
    __builtin_trap();
  }
}

// Lines as a capture holds them: each ends at CR LF, at CR or at LF; a last line without an end
// is still a line; a buffer that ends with a line end has no extra empty line. Written apart
// from the core's cursor so that the two can be checked against each other.
inline std::vector<std::string_view> SplitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const char c = bytes[i];
    if (c != '\r' && c != '\n') {
      ++i;
      continue;
    }
    lines.push_back(bytes.substr(start, i - start));
    i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
    start = i;
  }
  if (start < bytes.size()) {
    lines.push_back(bytes.substr(start));
  }
  return lines;
}

// Byte length of the UTF-8 character at byte i, 1 for a byte that does not start a well-formed
// sequence (the shortest form, no surrogates, nothing above U+10FFFF).
inline std::size_t Utf8Length(std::string_view text, std::size_t i) {
  const auto at = [&](std::size_t k) -> unsigned {
    return k < text.size() ? static_cast<unsigned char>(text[k]) : 0x100u;
  };
  const unsigned b0 = at(i);
  const auto cont = [&](std::size_t k) { return at(k) >= 0x80 && at(k) <= 0xBF; };
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    return cont(i + 1) ? 2 : 1;
  }
  if (b0 >= 0xE0 && b0 <= 0xEF) {
    const unsigned lo = b0 == 0xE0 ? 0xA0 : 0x80;
    const unsigned hi = b0 == 0xED ? 0x9F : 0xBF;
    return at(i + 1) >= lo && at(i + 1) <= hi && cont(i + 2) ? 3 : 1;
  }
  if (b0 >= 0xF0 && b0 <= 0xF4) {
    const unsigned lo = b0 == 0xF0 ? 0x90 : 0x80;
    const unsigned hi = b0 == 0xF4 ? 0x8F : 0xBF;
    return at(i + 1) >= lo && at(i + 1) <= hi && cont(i + 2) && cont(i + 3) ? 4 : 1;
  }
  return 1;
}

// Whether text holds a CR or an LF.
inline bool HasLineEnd(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// The input split at its first separator line into a before and an after text (without one, the
// whole input is both), each an exact-size copy so that a read past its end is a heap overflow.
class TwoTexts {
 public:
  TwoTexts(const std::uint8_t* data, std::size_t size) {
    constexpr std::string_view kSeparator = "\n----8<----\n";
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find(kSeparator);
    const std::string_view second =
        cut == std::string_view::npos ? input : input.substr(cut + kSeparator.size());
    before_.assign(data, data + std::min(cut, size));
    after_.assign(second.begin(), second.end());
  }
  std::string_view before() const { return {before_.data(), before_.size()}; }
  std::string_view after() const { return {after_.data(), after_.size()}; }

 private:
  std::vector<char> before_, after_;
};

}  // namespace kestrelon::fuzz
