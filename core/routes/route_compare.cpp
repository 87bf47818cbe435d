#include "routes/route_compare.h"

#include <cstdlib>

#include "files/utf8_text.h"

namespace kestrelon::routes {
namespace {

constexpr std::string_view kRemoved = "減< ";
constexpr std::string_view kAdded = "増> ";
constexpr std::string_view kBefore = "前< ";
constexpr std::string_view kAfter = "後> ";

bool SameLines(const Entry& a, const Entry& b) {
  if (a.count != b.count) {
    return false;
  }
  for (int i = 0; i < a.count; ++i) {
    if (a.lines[i] != b.lines[i]) {
      return false;
    }
  }
  return true;
}

void PutBlockLines(const Entry& entry, std::string_view prefix, LineSink& sink,
                   std::string& buffer) {
  for (int i = 0; i < entry.count; ++i) {
    buffer.assign(prefix);
    buffer.append(entry.lines[i]);
    sink.Put(buffer);
  }
}

bool KeyLess(const Entry& a, const Entry& b) {
  return a.destHigh != b.destHigh ? a.destHigh < b.destHigh : a.destLow < b.destLow;
}

}  // namespace

std::string_view EntryReader::ReadEntryLine(std::int32_t& DestHigh, std::int32_t& DestLow,
                                            std::int16_t& LineCount) {
  if (LineCount >= 1) {
    return cursor_.Next();
  }
  ParsedLine first;
  std::string_view line;
  while (true) {
    if (cursor_.AtEnd()) {
      return {};
    }
    line = cursor_.Next();
    std::int16_t state = 1;
    first = parser_.ParseDestination(line, state);
    if (first.CodeKey < kNoCode) {
      break;
    }
  }
  DestHigh = first.DestHigh;
  DestLow = first.DestLow;
  LineCount = 1;
  const std::size_t afterFirst = cursor_.Position();

  // Look ahead for the extra paths that line up under the entry and rebuild to its route. Most
  // entries have none: the line after does not start with four blanks.
  if (!cursor_.NextStartsWith("    ")) {
    return line;
  }
  previous_.assign(line);
  while (!cursor_.AtEnd()) {
    const std::string_view next = cursor_.Next();
    if (next.substr(0, 4) != "    ") {
      break;
    }
    const std::size_t e = CharPosOf(next, '[');
    const std::size_t f = CharPosOf(previous_, '[');
    const bool aligned = std::llabs(static_cast<long long>(f) - static_cast<long long>(e)) <= 2;
    if (!aligned || e == 0 || next.substr(0, e - 1).find_first_not_of(' ') != std::string::npos) {
      previous_.assign(next);
      continue;
    }
    rebuilt_.assign(std::string_view(previous_).substr(0, previous_.find('[') + 1));
    rebuilt_.append(next.substr(e));
    std::int16_t state = 1;
    const ParsedLine path = parser_.ParseDestination(rebuilt_, state);
    if (path.DestHigh != first.DestHigh || path.DestLow != first.DestLow ||
        path.MaskKey != first.MaskKey || path.CodeKey >= kNoCode) {
      break;
    }
    if (LineCount < INT16_MAX) {
      ++LineCount;
    }
    previous_.swap(rebuilt_);
  }
  cursor_.Seek(afterFirst);
  return line;
}

void ReadEntry(EntryReader& reader, Entry& entry) {
  entry.count = 0;
  entry.lines[0] = reader.ReadEntryLine(entry.destHigh, entry.destLow, entry.count);
  if (entry.count > kMaxEntryLines) {
    entry.count = kMaxEntryLines;
  }
  for (int i = 1; i < entry.count; ++i) {
    entry.lines[i] = reader.ReadEntryLine(entry.destHigh, entry.destLow, entry.count);
  }
}

std::int64_t MergeSortedLogs(std::string_view before, std::string_view after,
                             const RouteLineParser& parser, LineSink& sink) {
  EntryReader readers[2] = {EntryReader(before, parser), EntryReader(after, parser)};
  Entry a;
  Entry b;
  ReadEntry(readers[0], a);
  ReadEntry(readers[1], b);
  std::int64_t blocks = 0;
  std::string buffer;
  while (a.count > 0 || b.count > 0) {
    if (b.count == 0 || (a.count > 0 && KeyLess(a, b))) {
      PutBlockLines(a, kRemoved, sink, buffer);
      sink.Put("");
      ++blocks;
      ReadEntry(readers[0], a);
    } else if (a.count == 0 || KeyLess(b, a)) {
      PutBlockLines(b, kAdded, sink, buffer);
      sink.Put("");
      ++blocks;
      ReadEntry(readers[1], b);
    } else {
      if (!SameLines(a, b)) {
        PutBlockLines(a, kBefore, sink, buffer);
        PutBlockLines(b, kAfter, sink, buffer);
        sink.Put("");
        ++blocks;
      }
      ReadEntry(readers[0], a);
      ReadEntry(readers[1], b);
    }
  }
  return blocks;
}

std::int64_t WriteDifferences(std::string_view before, std::string_view after,
                              const RouteLineParser& parser, const std::string& headerBefore,
                              const std::string& headerAfter, OutputFile& result) {
  result.WriteLine("前: " + headerBefore);
  result.WriteLine("後: " + headerAfter);
  result.WriteLine("");
  FileLineSink sink(result);
  const std::int64_t blocks = MergeSortedLogs(before, after, parser, sink);
  if (blocks == 0) {
    result.WriteLine("同等です");
  } else {
    result.WriteLine(" " + std::to_string(blocks) + " の違いがあります");
  }
  return blocks;
}

}  // namespace kestrelon::routes
