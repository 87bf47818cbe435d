#include "tables/line_accounting.h"

namespace kestrelon::tables {

std::string_view LineKindName(LineKind kind) {
  constexpr std::array<std::string_view, kLineKindCount> kNames = {
      "prompt", "legend", "header", "route", "path", "blank", "pager", "not_understood"};
  return kNames[static_cast<std::size_t>(kind)];
}

void LineAccount::Append(const LineAccount& later) {
  for (const LineExample& example : later.examples_) {
    if (examples_.size() < kExamplesKept) {
      examples_.push_back({lines_ + example.line, example.text});
    }
  }
  for (const std::size_t line : later.classfulLines_) {
    if (classfulLines_.size() < kExamplesKept) {
      classfulLines_.push_back(lines_ + line);
    }
  }
  classfulLengths_ += later.classfulLengths_;
  for (std::size_t i = 0; i < kLineKindCount; ++i) {
    counts_[i] += later.counts_[i];
  }
  lines_ += later.lines_;
}

}  // namespace kestrelon::tables
