#include "routes/route_compare.h"

#include <cstdlib>

#include "files/capture_text.h"
#include "files/file_error.h"
#include "files/utf8_text.h"
#include "routes/staging.h"
#include "routes/table_sections.h"

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

void PutBlockLines(const Entry& entry, std::string_view prefix, files::LineSink& sink,
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
    const std::size_t e = files::CharPosOf(next, '[');
    const std::size_t f = files::CharPosOf(previous_, '[');
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

std::int64_t MergeEntries(EntrySource& before, EntrySource& after, Entry& a, Entry& b,
                          files::LineSink& sink) {
  std::int64_t blocks = 0;
  std::string buffer;
  while (a.count > 0 || b.count > 0) {
    if (b.count == 0 || (a.count > 0 && KeyLess(a, b))) {
      PutBlockLines(a, kRemoved, sink, buffer);
      sink.Put("");
      ++blocks;
      before.ReadEntry(a);
    } else if (a.count == 0 || KeyLess(b, a)) {
      PutBlockLines(b, kAdded, sink, buffer);
      sink.Put("");
      ++blocks;
      after.ReadEntry(b);
    } else {
      if (!SameLines(a, b)) {
        PutBlockLines(a, kBefore, sink, buffer);
        PutBlockLines(b, kAfter, sink, buffer);
        sink.Put("");
        ++blocks;
      }
      before.ReadEntry(a);
      after.ReadEntry(b);
    }
  }
  return blocks;
}

namespace {

// The entries of a sorted text, read by EntryReader.
class ReaderSource : public EntrySource {
 public:
  ReaderSource(std::string_view bytes, const RouteLineParser& parser) : reader_(bytes, parser) {}
  void ReadEntry(Entry& entry) override { routes::ReadEntry(reader_, entry); }

 private:
  EntryReader reader_;
};

// The merge of one table of each side.
std::int64_t MergeTables(std::string_view before, std::string_view after,
                         const RouteLineParser& parser, files::LineSink& sink) {
  ReaderSource sources[2] = {ReaderSource(before, parser), ReaderSource(after, parser)};
  Entry a;
  Entry b;
  sources[0].ReadEntry(a);
  sources[1].ReadEntry(b);
  return MergeEntries(sources[0], sources[1], a, b, sink);
}

}  // namespace

std::int64_t MergeSortedLogs(std::string_view before, std::string_view after,
                             const RouteLineParser& parser, files::LineSink& sink) {
  const std::vector<TableSection> tablesBefore = SplitTableSections(before);
  std::vector<TableSection> tablesAfter = SplitTableSections(after);
  if (!HasSeveralTables(tablesBefore) && !HasSeveralTables(tablesAfter)) {
    return MergeTables(before, after, parser, sink);
  }
  // Routes pair only within the VRF of the same name (the n-th table of a name with the n-th of
  // that name on the other side); a table found on one side only is all removed or all added.
  std::vector<bool> paired(tablesAfter.size(), false);
  std::int64_t blocks = 0;
  for (const TableSection& table : tablesBefore) {
    std::string_view counterpart;
    for (std::size_t k = 0; k < tablesAfter.size(); ++k) {
      if (!paired[k] && tablesAfter[k].name == table.name) {
        paired[k] = true;
        counterpart = tablesAfter[k].text;
        break;
      }
    }
    blocks += MergeTables(table.text, counterpart, parser, sink);
  }
  for (std::size_t k = 0; k < tablesAfter.size(); ++k) {
    if (!paired[k]) {
      blocks += MergeTables({}, tablesAfter[k].text, parser, sink);
    }
  }
  return blocks;
}

namespace {

// Whether a sorted text holds an entry for the compare.
bool HasRouteEntry(std::string_view sorted, const RouteLineParser& parser) {
  EntryReader reader(sorted, parser);
  Entry entry;
  ReadEntry(reader, entry);
  return entry.count > 0;
}

}  // namespace

void RefuseNoRouteLines(const std::string& name) {
  throw FileError("compare", name, 0, "no route lines in it");
}

bool CaptureHasRouteLine(std::string_view bytes) {
  const files::CaptureText text(bytes);
  files::LineCursor cursor(text.text());
  RouteLineParser parser;
  std::string edited;
  while (!cursor.AtEnd()) {
    std::string_view line = cursor.Next();
    if (line.find('\b') != std::string_view::npos) {
      edited = ApplyBackspaces(line);
      line = edited;
    }
    std::int16_t state = 1;
    if (parser.ParseDestination(line, state).CodeKey < kNoCode) {
      return true;
    }
  }
  return false;
}

namespace {

void WriteHeader(const std::string& headerBefore, const std::string& headerAfter,
                 files::OutputFile& result) {
  result.WriteLine("前: " + headerBefore);
  result.WriteLine("後: " + headerAfter);
  result.WriteLine("");
}

void WriteSummary(std::int64_t blocks, files::OutputFile& result) {
  if (blocks == 0) {
    result.WriteLine("同等です");
  } else {
    result.WriteLine(" " + std::to_string(blocks) + " の違いがあります");
  }
}

}  // namespace

std::int64_t WriteDifferences(std::string_view before, std::string_view after,
                              const RouteLineParser& parser, const std::string& headerBefore,
                              const std::string& headerAfter, files::OutputFile& result) {
  // Two tables without a route would compare as equivalent: nothing to compare is no answer.
  if (!HasRouteEntry(before, parser)) {
    RefuseNoRouteLines(headerBefore);
  }
  if (!HasRouteEntry(after, parser)) {
    RefuseNoRouteLines(headerAfter);
  }
  WriteHeader(headerBefore, headerAfter, result);
  files::FileLineSink sink(result);
  const std::int64_t blocks = MergeSortedLogs(before, after, parser, sink);
  WriteSummary(blocks, result);
  return blocks;
}

std::int64_t WriteDifferences(EntrySource& before, EntrySource& after,
                              const std::string& headerBefore, const std::string& headerAfter,
                              files::OutputFile& result) {
  Entry a;
  Entry b;
  before.ReadEntry(a);
  if (a.count == 0) {
    RefuseNoRouteLines(headerBefore);
  }
  after.ReadEntry(b);
  if (b.count == 0) {
    RefuseNoRouteLines(headerAfter);
  }
  WriteHeader(headerBefore, headerAfter, result);
  files::FileLineSink sink(result);
  const std::int64_t blocks = MergeEntries(before, after, a, b, sink);
  WriteSummary(blocks, result);
  return blocks;
}

}  // namespace kestrelon::routes
