// What each line of a capture was to the reader that read it, counted, so that no line is
// passed over in silence: the account a reader keeps, and the report of one reading.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tables/table_reader.h"

namespace kestrelon::tables {

enum class LineKind : std::uint8_t {
  kPrompt,  // a prompt, with or without its command
  kLegend,  // "Codes: ..." and the lines that continue it
  kHeader,  // gateway line, table or VRF heading, classful header, time stamp, banner
  kRoute,   // a destination line
  kPath,    // a further path, or the rest of a wrapped line
  kBlank,   // nothing but blanks
  kPager,   // a pager's remnant ("--More--", "<--- More --->"), a terminal log's own header
  kNotUnderstood,
};
inline constexpr std::size_t kLineKindCount = 8;

// "prompt", "legend", "header", "route", "path", "blank", "pager", "not_understood".
std::string_view LineKindName(LineKind kind);

// A line not understood: its number (from 1) and its text.
struct LineExample {
  std::size_t line = 0;
  std::string text;
};

// The account a reader keeps of the lines it reads, one call per line of the capture in order.
class LineAccount {
 public:
  static constexpr std::size_t kExamplesKept = 20;

  // Marks line (from 1) as kind whatever the reader makes of it: a line a cleaning pass
  // recognised (a pager remnant, a terminal log's header) and handed on cleaned. Call before
  // reading, in any order.
  void Preset(std::size_t line, LineKind kind) {
    presets_.insert(
        std::upper_bound(presets_.begin(), presets_.end(), std::pair{line, LineKind::kPrompt}),
        std::pair{line, kind});
  }
  bool HasPresets() const { return !presets_.empty(); }

  // Counts the next line as kind; text is kept as an example of a line not understood.
  void Count(LineKind kind, std::string_view text) {
    ++lines_;
    if (next_ < presets_.size() && presets_[next_].first == lines_) {
      kind = presets_[next_++].second;
    }
    ++counts_[static_cast<std::size_t>(kind)];
    if (kind == LineKind::kNotUnderstood && examples_.size() < kExamplesKept) {
      examples_.push_back({lines_, std::string(text)});
    }
  }
  // A route whose length was not printed and came from its address's class (line just
  // counted).
  void CountClassfulLength() {
    if (classfulLines_.size() < kExamplesKept) {
      classfulLines_.push_back(lines_);
    }
    ++classfulLengths_;
  }

  // Appends the account of the lines that follow these (read on their own).
  void Append(const LineAccount& later);

  std::size_t lines() const { return lines_; }
  std::size_t count(LineKind kind) const { return counts_[static_cast<std::size_t>(kind)]; }
  std::size_t notUnderstood() const { return count(LineKind::kNotUnderstood); }
  // The first lines not understood, at most kExamplesKept.
  const std::vector<LineExample>& examples() const { return examples_; }
  std::size_t classfulLengths() const { return classfulLengths_; }
  // The first lines (numbers) whose route took its class's length.
  const std::vector<std::size_t>& classfulLines() const { return classfulLines_; }

 private:
  std::size_t lines_ = 0;
  std::array<std::size_t, kLineKindCount> counts_{};
  std::vector<LineExample> examples_;
  std::size_t classfulLengths_ = 0;
  std::vector<std::size_t> classfulLines_;
  std::vector<std::pair<std::size_t, LineKind>> presets_;  // by line
  std::size_t next_ = 0;                                   // the next preset to meet
};

// How one capture was read: with which platform, why, and what its lines were.
struct ReadingReport {
  Platform platform = Platform::kIos;
  std::string decidedBy;  // "given", or the marks that placed the capture
  LineAccount lines;
};

}  // namespace kestrelon::tables
