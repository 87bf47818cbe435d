// The compare of two sorted captures: entries (a route line and the extra paths that line up
// under it, at most 8 lines) are matched by destination, and every entry found on one side
// only, or different between the sides, becomes a block of the difference file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/file_writer.h"
#include "files/line_cursor.h"
#include "files/line_sink.h"
#include "routes/route_line_parser.h"

namespace kestrelon::routes {

inline constexpr int kMaxEntryLines = 8;

// Reads entries out of one sorted file.
class EntryReader {
 public:
  // The reader parses with its own copy of the parser: what one side's lines leave in the
  // carried mask length must not change how the other side's entries are read, or a table
  // compared with itself could show differences.
  EntryReader(std::string_view bytes, const RouteLineParser& parser)
      : cursor_(bytes), parser_(parser) {}

  // With LineCount 0: finds the next entry and returns its first line, sets the destination
  // halves and LineCount (the entry's number of lines), or returns "" with LineCount 0 at the
  // end. With LineCount 1 or more: returns the next line as it stands.
  std::string_view ReadEntryLine(std::int32_t& DestHigh, std::int32_t& DestLow,
                                 std::int16_t& LineCount);

 private:
  files::LineCursor cursor_;
  RouteLineParser parser_;
  std::string previous_;  // the look-ahead's line above, rebuilt
  std::string rebuilt_;
};

struct Entry {
  std::array<std::string_view, kMaxEntryLines> lines{};
  std::int16_t count = 0;  // 0: the side has no further entry
  std::int32_t destHigh = 0;
  std::int32_t destLow = 0;
};

// Reads the next entry, its first 8 lines at most.
void ReadEntry(EntryReader& reader, Entry& entry);

// Where the merge takes one side's entries from, in file order.
class EntrySource {
 public:
  virtual ~EntrySource() = default;
  // The next entry, its first 8 lines at most; count 0 when there is none. The lines stay
  // valid until the next call.
  virtual void ReadEntry(Entry& entry) = 0;
};

// The merge of two sides whose first entries a and b have been read: the difference blocks go
// into sink, each ended by an empty line. Returns the number of blocks.
std::int64_t MergeEntries(EntrySource& before, EntrySource& after, Entry& a, Entry& b,
                          files::LineSink& sink);

// Merges the two sorted texts and puts the difference blocks into sink, each ended by an empty
// line. Both sides start from the parser's carried mask length. When either side holds several
// routing tables, entries pair only within tables of the same VRF name, table by table in the
// order of the first side, then the tables found only in the second. Returns the number of
// blocks.
std::int64_t MergeSortedLogs(std::string_view before, std::string_view after,
                             const RouteLineParser& parser, files::LineSink& sink);

// Writes the whole difference file of two sorted texts into result: the header lines naming
// headerBefore and headerAfter, the blocks, the summary line. Refused (FileError naming the
// input by its header name) before anything is written when a side has no entry, so that
// nothing to compare never reads as equivalent. Returns the number of blocks.
std::int64_t WriteDifferences(std::string_view before, std::string_view after,
                              const RouteLineParser& parser, const std::string& headerBefore,
                              const std::string& headerAfter, files::OutputFile& result);

// The same for two sides of one table each, read as their entries come (a side that has none
// is refused as above).
std::int64_t WriteDifferences(EntrySource& before, EntrySource& after,
                              const std::string& headerBefore, const std::string& headerAfter,
                              files::OutputFile& result);

// Whether a capture holds a line that the compare takes for a route, read as the sort reads
// it (byte order marks, UTF-16, backspaces); stops at the first.
bool CaptureHasRouteLine(std::string_view bytes);

// The refusal of a compare whose input (named as the header names it) has no route line.
[[noreturn]] void RefuseNoRouteLines(const std::string& name);

}  // namespace kestrelon::routes
