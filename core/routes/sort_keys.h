// Sort keys of staged lines and their order. A key is the four 31-bit words of the chosen
// field order; the line number, their last field, is kept in full beside them, so the order
// stays exact for any number of lines.
#pragma once

#include <array>
#include <cstdint>
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

// The records of one sort in one array that grows as key building adds to them. It grows by
// realloc, which moves a large block by remapping its pages: the array is never held twice, as
// a growing std::vector is while it copies. Grown by an eighth at a time, then cut to its size.
class RecordArray {
 public:
  RecordArray() = default;
  ~RecordArray();
  RecordArray(RecordArray&& other) noexcept;
  RecordArray& operator=(RecordArray&& other) noexcept;
  RecordArray(const RecordArray&) = delete;
  RecordArray& operator=(const RecordArray&) = delete;

  void Add(const SortRecord& record) {
    if (size_ == capacity_) {
      Grow();
    }
    data_[size_++] = record;
  }
  // Gives back what growing took beyond the size.
  void Fit();

  std::size_t size() const { return size_; }
  SortRecord& operator[](std::size_t i) { return data_[i]; }
  const SortRecord& operator[](std::size_t i) const { return data_[i]; }
  std::span<SortRecord> all() { return {data_, size_}; }

 private:
  void Grow();
  void Resize(std::size_t capacity);

  SortRecord* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace kestrelon::routes
