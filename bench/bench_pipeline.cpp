// The steps of a sort and of a compare, each in memory on its own, to find where the time of a
// whole run goes: staging, key building, the record sort, the sorted output, the merge.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bench/generate_capture.h"
#include "files/line_cursor.h"
#include "files/line_sink.h"
#include "routes/route_compare.h"
#include "routes/route_line_parser.h"
#include "routes/sort_keys.h"
#include "routes/sort_options.h"
#include "routes/sorted_output.h"
#include "routes/staging.h"

namespace kestrelon::bench {
namespace {

using files::FindLineEnd;
using files::LineCursor;
using files::LineSink;
using routes::kLineStateReset;
using routes::MakeSortRecord;
using routes::MergeSortedLogs;
using routes::ParsedLine;
using routes::RouteLineParser;
using routes::SortByKey;
using routes::SortedLineWriter;
using routes::SortOptions;
using routes::SortRecord;
using routes::StageLines;
using routes::StagingMarks;

constexpr std::int64_t kRoutes = 200000;

// Counts what it is given and keeps nothing.
class NullSink : public LineSink {
 public:
  void Put(std::string_view line) override { bytes += line.size() + 2; }
  std::size_t bytes = 0;
};

// Collects lines as one CR LF text, as the files between the steps hold them.
class TextSink : public LineSink {
 public:
  void Put(std::string_view line) override {
    text.append(line);
    text.append("\r\n");
  }
  std::string text;
};

std::vector<SortRecord> BuildRecords(std::string_view staged, const StagingMarks& marks,
                                     int keyNumber) {
  std::vector<SortRecord> records;
  RouteLineParser parser;
  LineCursor cursor(staged);
  std::int16_t lineState = kLineStateReset;
  auto nextExpanded = marks.expanded.begin();
  for (std::int64_t i = 0; !cursor.AtEnd(); ++i) {
    const bool expanded = nextExpanded != marks.expanded.end() && *nextExpanded == i;
    nextExpanded += expanded ? 1 : 0;
    const routes::TextPlace place{true, cursor.Position()};
    const ParsedLine parsed = parser.Parse(cursor.Next(), lineState);
    records.push_back(MakeSortRecord(keyNumber, parsed, lineState, static_cast<std::uint64_t>(i),
                                     expanded, place));
  }
  return records;
}

std::string WriteSorted(std::string_view staged, const std::vector<SortRecord>& records,
                        const SortOptions& options) {
  TextSink sink;
  SortedLineWriter writer(options);
  for (const SortRecord& record : records) {
    const auto start = static_cast<std::size_t>(record.text().offset);
    sink.Put(writer.Process(staged.substr(start, FindLineEnd(staged, start) - start),
                            record.expanded()));
  }
  return sink.text;
}

// Both captures, staged, their records in sorted order, and the sorted texts the merge reads.
struct Corpus {
  std::array<std::string, 2> input;
  std::array<std::string, 2> staged;
  std::array<routes::StagingMarks, 2> marks;
  std::vector<SortRecord> sortedRecords;  // of the capture before, key 0
  std::array<std::string, 2> sortedForCompare;
  SortOptions compareOptions = SortOptions{}.ForcedForCompare();
  std::int64_t lines = 0;

  Corpus() {
    for (int side = 0; side < 2; ++side) {
      CaptureOptions options;
      options.routes = kRoutes;
      options.after = side == 1;
      input[side] = GenerateCaptureText(options);
      TextSink sink;
      const std::int64_t count = StageLines(input[side], sink, &marks[side]);
      staged[side] = std::move(sink.text);
      std::vector<SortRecord> records = BuildRecords(staged[side], marks[side], 0);
      SortByKey(records);
      sortedForCompare[side] = WriteSorted(staged[side], records, compareOptions);
      if (side == 0) {
        lines = count;
        sortedRecords = std::move(records);
      }
    }
  }
};

const Corpus& GetCorpus() {
  static const Corpus corpus;
  return corpus;
}

void SetLines(benchmark::State& state, std::int64_t lines, std::size_t bytes) {
  state.SetItemsProcessed(state.iterations() * lines);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

void BM_FindLineEnds(benchmark::State& state) {
  const Corpus& corpus = GetCorpus();
  for (auto _ : state) {
    LineCursor cursor(corpus.input[0]);
    std::size_t n = 0;
    while (!cursor.AtEnd()) {
      n += cursor.Next().size();
    }
    benchmark::DoNotOptimize(n);
  }
  SetLines(state, corpus.lines, corpus.input[0].size());
}

void BM_StageLines(benchmark::State& state) {
  const Corpus& corpus = GetCorpus();
  for (auto _ : state) {
    NullSink sink;
    benchmark::DoNotOptimize(StageLines(corpus.input[0], sink));
  }
  SetLines(state, corpus.lines, corpus.input[0].size());
}

void BM_BuildKeys(benchmark::State& state) {
  const Corpus& corpus = GetCorpus();
  for (auto _ : state) {
    std::vector<SortRecord> records = BuildRecords(corpus.staged[0], corpus.marks[0], 0);
    benchmark::DoNotOptimize(records.data());
  }
  SetLines(state, corpus.lines, corpus.staged[0].size());
}

// The records as the key builder leaves them: file order.
void BM_SortByKey(benchmark::State& state) {
  const Corpus& corpus = GetCorpus();
  std::vector<SortRecord> unsorted = corpus.sortedRecords;
  std::sort(unsorted.begin(), unsorted.end(), [](const SortRecord& a, const SortRecord& b) {
    return a.lineNumber() < b.lineNumber();
  });
  std::vector<SortRecord> records;
  for (auto _ : state) {
    state.PauseTiming();
    records = unsorted;
    state.ResumeTiming();
    SortByKey(records);
    benchmark::DoNotOptimize(records.data());
  }
  SetLines(state, corpus.lines, 0);
}

void BM_WriteSorted(benchmark::State& state, bool compareOptions) {
  const Corpus& corpus = GetCorpus();
  const std::string_view staged = corpus.staged[0];
  const SortOptions options = compareOptions ? corpus.compareOptions : SortOptions{};
  for (auto _ : state) {
    NullSink sink;
    SortedLineWriter writer(options);
    for (const SortRecord& record : corpus.sortedRecords) {
      const auto start = static_cast<std::size_t>(record.text().offset);
      sink.Put(writer.Process(staged.substr(start, FindLineEnd(staged, start) - start),
                              record.expanded()));
    }
    benchmark::DoNotOptimize(sink.bytes);
  }
  SetLines(state, corpus.lines, staged.size());
}

void BM_MergeSorted(benchmark::State& state) {
  const Corpus& corpus = GetCorpus();
  for (auto _ : state) {
    RouteLineParser parser;
    NullSink sink;
    benchmark::DoNotOptimize(
        MergeSortedLogs(corpus.sortedForCompare[0], corpus.sortedForCompare[1], parser, sink));
  }
  SetLines(state, corpus.lines, corpus.sortedForCompare[0].size());
}

BENCHMARK(BM_FindLineEnds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StageLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByKey)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteSorted, default_options, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteSorted, compare_options, true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeSorted)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestrelon::bench

BENCHMARK_MAIN();
