// Sort keys of staged lines and their order. A key is the four 31-bit words of the chosen
// field order; the line number, their last field, is kept as the staging position instead,
// which grows with it, so the order stays exact for any number of lines.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "routes/route_line_parser.h"

namespace kestrelon::routes {

// One staged line: its key words packed into 99 bits (hi, then the top 35 bits of lo) and the
// byte position of the line in the staging file. 24 bytes a line. The lowest bit of lo, below
// the key, carries the staging mark of an expanded path to the writer; the order ignores it.
struct SortRecord {
  static constexpr std::uint64_t kExpanded = 1;

  std::uint64_t hi;
  std::uint64_t lo;
  std::uint64_t position;

  bool expanded() const { return (lo & kExpanded) != 0; }
};

// The four key words of a line for key number 0..5, with lineNumber as the last field
// (lineNumber below 2^24).
std::array<std::int32_t, 4> KeyWords(int keyNumber, const ParsedLine& line, std::int16_t lineState,
                                     std::int64_t lineNumber);

SortRecord MakeSortRecord(int keyNumber, const ParsedLine& line, std::int16_t lineState,
                          std::uint64_t position, bool expanded = false);

// Orders the records by key, then by position: the order of the key words with the line
// number as the final tie-breaker. An in-place byte-wise radix sort.
void SortByKey(std::span<SortRecord> records);

}  // namespace kestrelon::routes
