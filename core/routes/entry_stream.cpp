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

// Whether parsing line on its own sets the carried mask length; parsed is then the parser as
// the line leaves any parser. first is where its blanks end. Only a line whose first character
// other than blanks and "*" is a digit can; for those the parse tells, run once from 0 and,
// when that leaves 0 (no mask, or "/0"), once from 32.
bool HasOwnMask(std::string_view line, std::size_t first, RouteLineParser& parsed) {
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
    parsed = fromZero;
    return true;
  }
  RouteLineParser fromAll;
  state = 1;
  fromAll.ParseDestination("C    0.0.0.0/32 ", state);
  state = 1;
  fromAll.ParseDestination(line, state);
  if (fromAll.CarriedMaskLen() != 0) {
    return false;
  }
  parsed = fromAll;
  return true;
}

// The position of the first "[" of a route line (1-based, 0: none), and whether any line
// rebuilt from it through that "[" and a path reads as the route line does. It does when the
// code (columns 1 to 5) stands before the "[": the destination then does too, and its mask is
// read up to the first character that does not fit, the "[" at the latest. A hex mask ("0x")
// is the exception: its end is looked for at a fixed distance, past a "[" that cuts it short.
// Kept to ASCII, where characters are bytes.
std::size_t FirstBracket(std::string_view first, bool& readsBefore) {
  readsBefore = false;
  bool hex = false;
  for (std::size_t i = 0; i < first.size(); ++i) {
    const auto c = static_cast<unsigned char>(first[i]);
    if (c == '[') {
      readsBefore = i >= 5 && !hex;
      return i + 1;
    }
    if (c >= 0x80) {
      return files::CharPosOf(first, '[');
    }
    hex = hex || c == 'x';
  }
  return 0;
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
  const std::size_t blanks = SkipBlanks(next);
  if (HasOwnMask(next, blanks, ownMaskParser_)) {
    ownMaskAt_ = examined_;
  }
  const std::string_view previous = previousIsFirst_ ? First() : std::string_view(previous_);
  // A path's "[" comes right after its blanks.
  const std::size_t e =
      blanks < next.size() && next[blanks] == '[' ? blanks + 1 : files::CharPosOf(next, '[');
  if (previousIsFirst_ && examined_ == 1) {
    previousBracket_ = FirstBracket(previous, firstReadsBeforeBracket_);
  }
  const std::size_t f = previousBracket_;
  const bool aligned = std::llabs(static_cast<long long>(f) - static_cast<long long>(e)) <= 2;
  if (!aligned || e == 0 || blanks < e - 1) {
    previous_.assign(next);
    previousBracket_ = e;
    previousIsFirst_ = false;
    return;
  }
  if (previousIsFirst_ && firstReadsBeforeBracket_) {
    // The rebuilt line would read as the first line did: the path belongs to the entry, and
    // the line above the next path keeps the first line's text through its "[".
    if (lineCount_ < INT16_MAX) {
      ++lineCount_;
    }
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
    parser_ = ownMaskParser_;
  }
}

}  // namespace kestrelon::routes
