#include "routes/sort_keys.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>

namespace kestrelon::routes {
namespace {

static_assert(std::is_trivially_copyable_v<SortRecord>);

using Words = std::array<std::int64_t, 4>;

// The word formulas with the line number left out. Each sum is formed exactly, so a mask key
// of -1 borrows from the field above it as the layout intends.
Words WordsWithoutLine(int keyNumber, const ParsedLine& p, std::int16_t lineState) {
  const std::int64_t ls = lineState;
  const std::int64_t dh = p.DestHigh, dl = p.DestLow, hh = p.HopHigh, hl = p.HopLow;
  const std::int64_t mk = p.MaskKey, ck = p.CodeKey;
  // Keys 1, 3 and 5 are keys 0, 2 and 4 with destination and next hop exchanged.
  const bool byHop = keyNumber % 2 == 1;
  const std::int64_t ah = byHop ? hh : dh, al = byHop ? hl : dl;  // first address
  const std::int64_t bh = byHop ? dh : hh, bl = byHop ? dl : hl;  // second address
  switch (keyNumber / 2) {
    case 0:
      return {ls * (1 << 29) + ah * (1 << 13) + (al & 0xFFF8) / 8,
              (al & 7) * (1 << 28) + bh * (1 << 12) + (bl & 0xFFF0) / 16,
              (bl & 0xF) * (1 << 27) + mk * (1 << 22) + (ck & 0xFFFFFC0) / 64,
              (ck & 0x3F) * (1 << 25)};
    case 1:
      return {ls * (1 << 29) + mk * (1 << 24) + ah * (1 << 8) + (al & 0xFF00) / 256,
              (al & 0xFF) * (1 << 23) + bh * (1 << 7) + (bl & 0xFE00) / 512,
              (bl & 0x1FF) * (1 << 22) + (ck & 0xFFFFFC0) / 64, (ck & 0x3F) * (1 << 25)};
    default:
      return {ls * (1 << 29) + ck * 2 + (ah & 0x8000) / 32768, (ah & 0x7FFF) * (1 << 16) + al,
              bh * (1 << 15) + (bl & 0xFFFE) / 2, (bl & 1) * (1 << 30) + mk * (1 << 25)};
  }
}

constexpr int kKeyBytes = 13;  // 99 key bits: all of hi, the top five bytes of lo
constexpr std::size_t kSmall = 48;

unsigned KeyByte(const SortRecord& r, int index) {
  return index < 8 ? static_cast<unsigned>(r.hi >> (56 - 8 * index)) & 0xFF
                   : static_cast<unsigned>(r.lo >> (56 - 8 * (index - 8))) & 0xFF;
}

bool Less(const SortRecord& a, const SortRecord& b) {
  if (a.hi != b.hi)
    return a.hi < b.hi;
  const std::uint64_t aLo = a.lo | SortRecord::kExpanded;
  const std::uint64_t bLo = b.lo | SortRecord::kExpanded;
  if (aLo != bLo)
    return aLo < bLo;
  return a.place < b.place;  // the line numbers differ above the text's place
}

void InsertionSort(SortRecord* first, SortRecord* last) {
  for (SortRecord* i = first + 1; i < last; ++i) {
    SortRecord value = *i;
    SortRecord* j = i;
    while (j > first && Less(value, *(j - 1))) {
      *j = *(j - 1);
      --j;
    }
    *j = value;
  }
}

// Most-significant byte first, in place (American flag sort). Records whose key bytes are all
// equal end in one bucket and are ordered by line number.
void RadixSort(SortRecord* first, SortRecord* last, int byteIndex) {
  while (true) {
    const std::size_t n = static_cast<std::size_t>(last - first);
    if (n < kSmall) {
      InsertionSort(first, last);
      return;
    }
    if (byteIndex == kKeyBytes) {
      std::sort(first, last, Less);  // equal keys: by line number
      return;
    }
    std::array<std::size_t, 256> count{};
    for (SortRecord* r = first; r < last; ++r) {
      ++count[KeyByte(*r, byteIndex)];
    }
    if (count[KeyByte(*first, byteIndex)] == n) {  // one bucket: next byte, no moves
      ++byteIndex;
      continue;
    }
    std::array<std::size_t, 257> begin{};
    for (int b = 0; b < 256; ++b) {
      begin[b + 1] = begin[b] + count[b];
    }
    std::array<std::size_t, 256> next{};
    std::copy(begin.begin(), begin.end() - 1, next.begin());
    for (int b = 0; b < 256; ++b) {
      while (next[b] < begin[b + 1]) {
        const unsigned d = KeyByte(first[next[b]], byteIndex);
        if (d == static_cast<unsigned>(b)) {
          ++next[b];
        } else {
          std::swap(first[next[b]], first[next[d]++]);
        }
      }
    }
    for (int b = 0; b < 256; ++b) {
      if (count[b] > 1) {
        RadixSort(first + begin[b], first + begin[b + 1], byteIndex + 1);
      }
    }
    return;
  }
}

}  // namespace

std::array<std::int32_t, 4> KeyWords(int keyNumber, const ParsedLine& line, std::int16_t lineState,
                                     std::int64_t lineNumber) {
  const Words w = WordsWithoutLine(keyNumber, line, lineState);
  return {static_cast<std::int32_t>(w[0]), static_cast<std::int32_t>(w[1]),
          static_cast<std::int32_t>(w[2]), static_cast<std::int32_t>(w[3] + lineNumber * 2)};
}

SortRecord MakeSortRecord(int keyNumber, const ParsedLine& line, std::int16_t lineState,
                          std::uint64_t lineNumber, bool expanded, TextPlace text) {
  const Words w = WordsWithoutLine(keyNumber, line, lineState);
  const auto u = [](std::int64_t v) { return static_cast<std::uint64_t>(v); };
  // 31 + 31 + 31 + 6 bits: word 4 keeps only bits 25 to 30 once the line number is gone.
  SortRecord r;
  r.hi = (u(w[0]) << 33) | (u(w[1]) << 2) | (u(w[2]) >> 29);
  r.lo = ((u(w[2]) & 0x1FFFFFFF) << 35) | ((u(w[3]) >> 25) << 29) | ((lineNumber >> 16) << 1) |
         (expanded ? SortRecord::kExpanded : 0);
  r.place =
      ((lineNumber & 0xFFFF) << 48) | (u(text.inStaging) << SortRecord::kOffsetBits) | text.offset;
  return r;
}

void SortByKey(std::span<SortRecord> records) {
  if (records.size() > 1) {
    RadixSort(records.data(), records.data() + records.size(), 0);
  }
}

RecordArray::~RecordArray() {
  std::free(data_);
}

RecordArray::RecordArray(RecordArray&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

RecordArray& RecordArray::operator=(RecordArray&& other) noexcept {
  if (this != &other) {
    std::free(data_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
  }
  return *this;
}

void RecordArray::Resize(std::size_t capacity) {
  // SortRecord is trivially copyable: realloc may move it.
  void* grown = std::realloc(data_, capacity * sizeof(SortRecord));
  if (grown == nullptr && capacity > 0) {
    throw std::bad_alloc();
  }
  data_ = static_cast<SortRecord*>(grown);
  capacity_ = capacity;
}

void RecordArray::Grow() {
  constexpr std::size_t kFirst = std::size_t{1} << 16;
  Resize(std::max(kFirst, capacity_ + capacity_ / 8));
}

void RecordArray::Fit() {
  if (size_ == 0) {
    std::free(data_);
    data_ = nullptr;
    capacity_ = 0;
  } else if (size_ < capacity_) {
    Resize(size_);
  }
}

}  // namespace kestrelon::routes
