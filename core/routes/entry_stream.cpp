#include "routes/entry_stream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "files/utf8_text.h"
#include "routes/table_sections.h"

namespace kestrelon::routes {
namespace {

bool StartsWithFourBlanks(std::string_view line) {
  return line.substr(0, 4) == "    ";
}

// Whether parsing line on its own sets the carried mask length. Only a line whose first
// character other than blanks and "*" is a digit can; for those the parse tells, run once from
// 0 and, when that leaves 0 (no mask, or "/0"), once from 32.
// The position of the first character of line other than a blank, or line.size(). Paths under
// an entry start with some twenty blanks: eight at a time.
std::size_t SkipBlanks(std::string_view line) {
  std::size_t first = 0;
  while (first + 8 <= line.size() && std::memcmp(line.data() + first, "        ", 8) == 0) {
    first += 8;
  }
  while (first < line.size() && line[first] == ' ') {
    ++first;
  }
  return first;
}

bool HasOwnMask(std::string_view line) {
  std::size_t first = SkipBlanks(line);
  while (first < line.size() && (line[first] == ' ' || line[first] == '*')) {
    ++first;
  }
  if (first == line.size() || line[first] < '0' || line[first] > '9') {
    return false;
  }
  RouteLineParser fromZero;
  std::int16_t state = 1;
  fromZero.ParseDestination(line, state);
  if (fromZero.CarriedMaskLen() != 0) {
    return true;
  }
  RouteLineParser fromAll;
  state = 1;
  fromAll.ParseDestination("C    0.0.0.0/32 ", state);
  state = 1;
  fromAll.ParseDestination(line, state);
  return fromAll.CarriedMaskLen() == 0;
}

}  // namespace

EntryStream::EntryStream(const RouteLineParser& parser, EntrySink& sink)
    : parser_(parser), sink_(sink) {}

void EntryStream::Put(std::string_view line) {
  if (IsRoutingTableLine(line)) {
    ++headings_;
  }
  if (looking_) {
    Look(line);
  } else {
    Seek(line);
  }
}

void EntryStream::Finish() {
  if (looking_) {
    Close();
  }
}

void EntryStream::Seek(std::string_view line) {
  std::int16_t state = 1;
  const ParsedLine parsed = parser_.ParseDestination(line, state);
  if (parsed.CodeKey >= kNoCode) {
    return;
  }
  looking_ = true;
  first_ = parsed;
  lineCount_ = 1;
  examined_ = 0;
  ownMaskAt_ = 0;
  previousIsFirst_ = true;
  kept_.assign(line);
  kept_.push_back('\n');
  ends_[0] = kept_.size();
}

void EntryStream::Look(std::string_view next) {
  if (!StartsWithFourBlanks(next)) {
    Close();
    Seek(next);
    return;
  }
  ++examined_;
  if (examined_ < ends_.size()) {
    kept_.append(next);
    kept_.push_back('\n');
    ends_[examined_] = kept_.size();
  }
  if (HasOwnMask(next)) {
    ownMaskAt_ = examined_;
    ownMaskLine_.assign(next);
  }
  const std::string_view previous = previousIsFirst_ ? First() : std::string_view(previous_);
  const std::size_t e = files::CharPosOf(next, '[');
  if (previousIsFirst_ && examined_ == 1) {
    previousBracket_ = files::CharPosOf(previous, '[');
  }
  const std::size_t f = previousBracket_;
  const bool aligned = std::llabs(static_cast<long long>(f) - static_cast<long long>(e)) <= 2;
  if (!aligned || e == 0 || SkipBlanks(next) < e - 1) {
    previous_.assign(next);
    previousBracket_ = e;
    previousIsFirst_ = false;
    return;
  }
  rebuilt_.assign(previous.substr(0, previous.find('[') + 1));
  rebuilt_.append(next.substr(e));
  std::int16_t state = 1;
  const ParsedLine path = parser_.ParseDestination(rebuilt_, state);
  if (path.DestHigh != first_.DestHigh || path.DestLow != first_.DestLow ||
      path.MaskKey != first_.MaskKey || path.CodeKey >= kNoCode) {
    Close();  // this line is read again by the scan for the next entry, as the others
    return;
  }
  if (lineCount_ < INT16_MAX) {
    ++lineCount_;
  }
  previous_.swap(rebuilt_);  // its "[" stands where the line above had it
  previousIsFirst_ = false;
}

void EntryStream::Close() {
  looking_ = false;
  const auto count = std::min<std::int16_t>(lineCount_, kMaxEntryLines);
  sink_.Take(first_.DestHigh, first_.DestLow, count,
             std::string_view(kept_).substr(0, ends_[static_cast<std::size_t>(count) - 1]));
  // The scan for the next entry starts after the entry's last line and reads the looked-at
  // lines again: none of them starts an entry (they begin with blanks), but the last one with
  // a mask of its own sets the carried mask length.
  if (ownMaskAt_ >= static_cast<std::size_t>(count)) {
    std::int16_t state = 1;
    parser_.ParseDestination(ownMaskLine_, state);
  }
}

}  // namespace kestrelon::routes
