// The merge of two captures. The input is split at the first separator line into a before and
// an after text (without one, the whole input is both). Checks that a text compared with itself
// has no difference, that a text against an empty one gives one block per entry, and that the
// blocks are well formed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/line_cursor.h"
#include "files/line_sink.h"
#include "fuzz_common.h"
#include "routes/entry_stream.h"
#include "routes/route_compare.h"
#include "routes/route_line_parser.h"

using kestrelon::fuzz::Require;
namespace f = kestrelon::files;
namespace r = kestrelon::routes;

namespace {

constexpr std::string_view kSeparator = "\n----8<----\n";
constexpr std::string_view kRemoved = "減< ";
constexpr std::string_view kAdded = "増> ";
constexpr std::string_view kBefore = "前< ";
constexpr std::string_view kAfter = "後> ";

bool StartsWith(std::string_view text, std::string_view head) {
  return text.substr(0, head.size()) == head;
}

// Checks the shape of the difference lines and returns the number of blocks in them.
std::int64_t CheckBlocks(const std::vector<std::string>& lines) {
  std::int64_t blocks = 0;
  std::size_t i = 0;
  while (i < lines.size()) {
    std::size_t first = 0, second = 0;
    const std::string_view head = StartsWith(lines[i], kRemoved)  ? kRemoved
                                  : StartsWith(lines[i], kAdded)  ? kAdded
                                  : StartsWith(lines[i], kBefore) ? kBefore
                                                                  : std::string_view();
    Require(!head.empty(), "a block starts with a removed, added or before line");
    while (i < lines.size() && StartsWith(lines[i], head)) {
      ++first;
      ++i;
    }
    if (head == kBefore) {
      while (i < lines.size() && StartsWith(lines[i], kAfter)) {
        ++second;
        ++i;
      }
      Require(second >= 1 && second <= r::kMaxEntryLines, "a changed block has 1..8 after lines");
    }
    Require(first >= 1 && first <= r::kMaxEntryLines, "a block side has 1..8 lines");
    Require(i < lines.size() && lines[i].empty(), "every block ends with an empty line");
    ++i;
    ++blocks;
  }
  for (const std::string& line : lines) {
    Require(!kestrelon::fuzz::HasLineEnd(line), "no difference line holds CR or LF");
  }
  return blocks;
}

std::int64_t Merge(std::string_view before, std::string_view after, r::RouteLineParser& parser,
                   std::vector<std::string>* out = nullptr) {
  f::VectorLineSink sink;
  const std::int64_t blocks = r::MergeSortedLogs(before, after, parser, sink);
  Require(blocks >= 0, "the block count is not negative");
  Require(CheckBlocks(sink.lines) == blocks, "the count equals the blocks written");
  if (out != nullptr) {
    *out = std::move(sink.lines);
  }
  return blocks;
}

// The number of entries: lines that carry a route code, read as the compare reads them.
std::int64_t CountEntries(std::string_view text) {
  r::RouteLineParser parser;
  std::int64_t entries = 0;
  for (const std::string_view line : kestrelon::fuzz::SplitLines(text)) {
    std::int16_t state = 1;
    if (parser.ParseDestination(line, state).CodeKey < r::kNoCode) {
      ++entries;
    }
  }
  return entries;
}

// Entries as "dest lines..." texts, one per entry.
class Collect : public r::EntrySink {
 public:
  void Take(std::int32_t destHigh, std::int32_t destLow, std::int16_t count,
            std::string_view text) override {
    entries.push_back(std::to_string(destHigh) + "." + std::to_string(destLow) + " " +
                      std::to_string(count) + "\n" + std::string(text));
  }
  std::vector<std::string> entries;
};

// The entries that the stream finds while the lines are written equal those that the reader
// finds in the finished text.
void CheckStream(std::string_view text, const r::RouteLineParser& parser) {
  Collect streamed;
  r::EntryStream stream(parser, streamed);
  for (f::LineCursor cursor(text); !cursor.AtEnd();) {
    stream.Put(cursor.Next());
  }
  stream.Finish();
  std::vector<std::string> read;
  r::EntryReader reader(text, parser);
  for (r::Entry entry; r::ReadEntry(reader, entry), entry.count > 0;) {
    std::string lines;
    for (int i = 0; i < entry.count; ++i) {
      lines += std::string(entry.lines[static_cast<std::size_t>(i)]) + "\n";
    }
    read.push_back(std::to_string(entry.destHigh) + "." + std::to_string(entry.destLow) + " " +
                   std::to_string(entry.count) + "\n" + lines);
  }
  Require(streamed.entries == read, "the stream finds the entries the reader finds");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = input.find(kSeparator);
  // Exact-size copies, so that a read past either text is a heap overflow.
  const std::string_view beforeSource =
      cut == std::string_view::npos ? input : input.substr(0, cut);
  const std::string_view afterSource =
      cut == std::string_view::npos ? input : input.substr(cut + kSeparator.size());
  const std::vector<char> beforeBytes(beforeSource.begin(), beforeSource.end());
  const std::vector<char> afterBytes(afterSource.begin(), afterSource.end());
  const std::string_view before(beforeBytes.data(), beforeBytes.size());
  const std::string_view after(afterBytes.data(), afterBytes.size());

  r::RouteLineParser parser;
  Merge(before, after, parser);
  CheckStream(before, parser);
  r::RouteLineParser carrying;
  std::int16_t state = r::kLineStateReset;
  carrying.ParseDestination("C    0.0.0.0/24 ", state);
  CheckStream(after, carrying);

  r::RouteLineParser selfParser;
  Require(Merge(before, before, selfParser) == 0, "a text compared with itself has no block");

  r::RouteLineParser emptyParser;
  const std::int64_t entries = CountEntries(after);
  Require(Merge({}, after, emptyParser) == entries, "against nothing, every entry is added");
  Require(Merge(after, {}, emptyParser) == entries, "against nothing, every entry is removed");
  return 0;
}
