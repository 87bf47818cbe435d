// The blank-separated words of one table row, with where each starts, for the readers of
// column tables whose cells overflow their columns: such rows are read by words, not by
// column positions. Fixed room, so reading a row allocates nothing.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "files/text_fields.h"

namespace kestrelon::tables {

// A cell of digits alone: a row number, a preference, a metric.
inline bool IsDigits(std::string_view word) {
  return !word.empty() && word.find_first_not_of("0123456789") == std::string_view::npos;
}

template <std::size_t N>
class RowWords {
 public:
  explicit RowWords(std::string_view line) : line_(line) {
    for (std::size_t at = 0; at < line.size();) {
      while (at < line.size() && files::IsBlankChar(line[at])) {
        ++at;
      }
      if (at == line.size()) {
        break;
      }
      std::size_t end = at;
      while (end < line.size() && !files::IsBlankChar(line[end])) {
        ++end;
      }
      if (count_ == N) {
        overflow_ = true;
        break;
      }
      words_[count_++] = {at, end - at};
      at = end;
    }
  }

  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  // More words than there is room for: no row of the table being read.
  bool overflow() const { return overflow_; }
  // Word i, or "" past the last.
  std::string_view operator[](std::size_t i) const {
    return i < count_ ? line_.substr(words_[i].at, words_[i].size) : std::string_view();
  }
  // The text from word first to word last, both included, with the blanks between as printed.
  std::string_view Span(std::size_t first, std::size_t last) const {
    return line_.substr(words_[first].at, words_[last].at + words_[last].size - words_[first].at);
  }

 private:
  struct Word {
    std::size_t at = 0;
    std::size_t size = 0;
  };
  std::string_view line_;
  std::array<Word, N> words_{};
  std::size_t count_ = 0;
  bool overflow_ = false;
};

}  // namespace kestrelon::tables
