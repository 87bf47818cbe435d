// The compare's entries found in sorted lines as they are written, so that a compare need not
// write its sort results and read them again. It finds the same entries, in the same order and
// with the same carried mask length, as EntryReader finds in the finished file, and holds only
// the at most 8 lines an entry keeps.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/line_sink.h"
#include "routes/route_compare.h"
#include "routes/route_line_parser.h"

namespace kestrelon::routes {

// Where found entries go.
class EntrySink {
 public:
  virtual ~EntrySink() = default;
  // One entry: its key and its count lines, which text holds one after another, each followed
  // by "\n" (no line holds one). The text is valid during the call only.
  virtual void Take(std::int32_t destHigh, std::int32_t destLow, std::int16_t count,
                    std::string_view text) = 0;
};

// Takes the lines of one sorted file in order (a line sink) and hands each entry on as soon as
// the lines after it settle how many lines it has.
class EntryStream : public files::LineSink {
 public:
  // Parses as a copy of parser: the compare starts each side from the same carried mask length.
  EntryStream(const RouteLineParser& parser, EntrySink& sink);

  void Put(std::string_view line) override;
  // The end of the file: the last entry, if one is open, is handed on.
  void Finish();

  // Lines that head a routing table, for the compare to see whether it must pair tables.
  std::int64_t headings() const { return headings_; }

 private:
  void Seek(std::string_view line);
  void Look(std::string_view line);
  void Close();
  // The entry's first line, as kept.
  std::string_view First() const { return std::string_view(kept_).substr(0, ends_[0] - 1); }

  RouteLineParser parser_;
  EntrySink& sink_;
  bool looking_ = false;  // an entry's first line was found; the lines after it are looked at
  ParsedLine first_;
  std::int16_t lineCount_ = 0;  // the entry's lines as the look-ahead counts them
  std::size_t examined_ = 0;    // lines looked at after the first line
  // The first line and the lines after it that may still belong to the entry, each followed by
  // "\n", and where each ends.
  std::string kept_;
  std::array<std::size_t, kMaxEntryLines> ends_{};
  bool previousIsFirst_ = true;  // the look-ahead's line above is the first line, else previous_
  std::string previous_;         // the look-ahead's line above, rebuilt
  std::size_t previousBracket_ = 0;  // the position of its first "[" (1-based, 0: none)
  std::string rebuilt_;
  // The last line looked at that carries a mask of its own, by its number after the first line
  // (0: none). The scan for the next entry reads every line after the entry's last one again,
  // and only such a line changes the carried mask length there.
  std::size_t ownMaskAt_ = 0;
  RouteLineParser ownMaskParser_;  // as that line leaves the parser
  // Whether the first line has a "[" and reads the same whatever follows it: then every path
  // rebuilt from it reads as the first line did. Found with previousBracket_.
  bool firstReadsBeforeBracket_ = false;
  std::int64_t headings_ = 0;
};

}  // namespace kestrelon::routes
