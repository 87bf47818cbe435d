// Sort keys of staged lines and their order. A key is the four 31-bit words of the chosen
// field order; the line number, their last field, is kept in full beside them, so the order
// stays exact for any number of lines.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "routes/route_line_parser.h"

namespace kestrelon::routes {

// Where the writer reads a staged line: the input itself, for the lines staging left as they
// were, or the staging file, which holds the others.
struct TextPlace {
  bool inStaging = false;
  std::uint64_t offset = 0;  // of the line's first byte
};

// One staged line in 24 bytes: its key words packed into 99 bits (hi, then the top 35 bits of
// lo), its 0-based line number (44 bits: lo bits 1 to 28, then the top 16 bits of place) and
// where its text is (the low 48 bits of place). Compared as one 192-bit number, the records
// order by key, then line number. The lowest bit of lo carries the staging mark of an expanded
// path to the writer; the order ignores it.
struct SortRecord {
  static constexpr std::uint64_t kExpanded = 1;
  static constexpr int kLineNumberBits = 44;
  static constexpr int kOffsetBits = 47;

  std::uint64_t hi;
  std::uint64_t lo;
  std::uint64_t place;

  bool expanded() const { return (lo & kExpanded) != 0; }
  std::uint64_t lineNumber() const { return ((lo & 0x1FFFFFFE) << 15) | (place >> 48); }
  TextPlace text() const {
    return {((place >> kOffsetBits) & 1) != 0, place & ((std::uint64_t{1} << kOffsetBits) - 1)};
  }
};

// The four key words of a line for key number 0..5, with lineNumber as the last field
// (lineNumber below 2^24).
std::array<std::int32_t, 4> KeyWords(int keyNumber, const ParsedLine& line, std::int16_t lineState,
                                     std::int64_t lineNumber);

// lineNumber below 2^44, text.offset below 2^47 (the largest mapping a process can hold).
SortRecord MakeSortRecord(int keyNumber, const ParsedLine& line, std::int16_t lineState,
                          std::uint64_t lineNumber, bool expanded = false, TextPlace text = {});

// Orders the records by key, then by line number: the order of the key words with the line
// number as the final tie-breaker. An in-place byte-wise radix sort.
void SortByKey(std::span<SortRecord> records);

// Records as key building makes them, kept in blocks, so that the one array the writer reads
// is allocated at its final size: a growing array holds its old and its new copy at once.
class RecordCollector {
 public:
  void Add(const SortRecord& record);
  std::size_t size() const { return size_; }
  const SortRecord& at(std::size_t i) const { return blocks_[i / kBlock][i % kBlock]; }
  void Replace(std::size_t i, const SortRecord& record);

  // Every record in one array, in the order added, the blocks freed as they are copied.
  std::unique_ptr<SortRecord[]> TakeInOrder();
  // The same, ordered as SortByKey orders: the first key byte is sorted while copying.
  std::unique_ptr<SortRecord[]> TakeSorted();

 private:
  static constexpr std::size_t kBlock = std::size_t{1} << 16;
  std::vector<std::unique_ptr<SortRecord[]>> blocks_;
  std::size_t size_ = 0;
  std::array<std::size_t, 256> firstByteCount_{};
};

}  // namespace kestrelon::routes
