// Throughput of RouteLineParser::Parse over the lines of a generated capture: the whole mix in
// file order (as printed and as staged) and each kind of line on its own.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bench/generate_capture.h"
#include "files/line_cursor.h"
#include "files/line_sink.h"
#include "routes/route_line_parser.h"
#include "routes/staging.h"

namespace kestrelon::bench {
namespace {

using files::LineCursor;
using routes::kLineStateReset;
using routes::ParsedLine;
using routes::RouteLineParser;

constexpr std::int64_t kRoutes = 20000;
constexpr std::size_t kMinLines = 4096;  // short kinds are repeated up to this many lines

enum class LineKind { kBgp, kOspf, kOtherIgp, kConnected, kExtraPath, kHeader, kText };

LineKind Classify(std::string_view line) {
  if (line.find("subnetted,") != std::string_view::npos) {
    return LineKind::kHeader;
  }
  if (line.size() > 4 && line.substr(0, 4) == "    " && line.find('[') != std::string_view::npos &&
      line.find_first_not_of(' ') == line.find('[')) {
    return LineKind::kExtraPath;  // an equal-cost path or the second half of a wrapped entry
  }
  if (line.size() > 2 && (line[1] == ' ' || line[1] == '*') && line.find('.') < 13) {
    switch (line[0]) {
      case 'B':
        return LineKind::kBgp;
      case 'O':
        return LineKind::kOspf;
      case 'C':
      case 'L':
        return LineKind::kConnected;
      default:
        return LineKind::kOtherIgp;
    }
  }
  return LineKind::kText;
}

struct Lines {
  std::vector<std::string_view> all;
  std::vector<std::vector<std::string_view>> byKind = std::vector<std::vector<std::string_view>>(7);
  std::size_t bytes = 0;
};

void Collect(Lines& lines) {
  for (const std::string_view line : lines.all) {
    lines.bytes += line.size();
    lines.byKind[static_cast<std::size_t>(Classify(line))].push_back(line);
  }
  for (auto& kind : lines.byKind) {
    const std::size_t n = kind.size();
    while (n > 0 && kind.size() < kMinLines) {
      kind.insert(kind.end(), kind.begin(), kind.begin() + static_cast<std::ptrdiff_t>(n));
    }
  }
}

// The capture as printed and as staged, built once.
struct Corpus {
  std::string text;
  files::VectorLineSink staged;
  Lines printed;
  Lines stagedLines;

  Corpus() {
    CaptureOptions options;
    options.routes = kRoutes;
    text = GenerateCaptureText(options);
    LineCursor cursor(text);
    while (!cursor.AtEnd()) {
      printed.all.push_back(cursor.Next());
    }
    Collect(printed);
    routes::StageLines(text, staged);
    for (const std::string& line : staged.lines) {
      stagedLines.all.emplace_back(line);
    }
    Collect(stagedLines);
  }
};

const Corpus& GetCorpus() {
  static const Corpus corpus;
  return corpus;
}

void ParseAll(benchmark::State& state, const std::vector<std::string_view>& lines) {
  RouteLineParser parser;
  std::size_t bytes = 0;
  for (const std::string_view line : lines) {
    bytes += line.size();
  }
  for (auto _ : state) {
    std::int16_t lineState = kLineStateReset;
    for (const std::string_view line : lines) {
      ParsedLine parsed = parser.Parse(line, lineState);
      benchmark::DoNotOptimize(parsed);
    }
    benchmark::DoNotOptimize(lineState);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(lines.size()));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
  state.counters["lines"] = static_cast<double>(lines.size());
}

void BM_ParseMix(benchmark::State& state, bool staged) {
  const Corpus& corpus = GetCorpus();
  ParseAll(state, staged ? corpus.stagedLines.all : corpus.printed.all);
}

void BM_ParseKind(benchmark::State& state, LineKind kind, bool staged) {
  const Corpus& corpus = GetCorpus();
  const Lines& lines = staged ? corpus.stagedLines : corpus.printed;
  const auto& selected = lines.byKind[static_cast<std::size_t>(kind)];
  if (selected.empty()) {
    state.SkipWithError("no line of this kind in the capture");
    return;
  }
  ParseAll(state, selected);
}

BENCHMARK_CAPTURE(BM_ParseMix, printed, false);
BENCHMARK_CAPTURE(BM_ParseMix, staged, true);
BENCHMARK_CAPTURE(BM_ParseKind, bgp, LineKind::kBgp, false);
BENCHMARK_CAPTURE(BM_ParseKind, ospf_first_path, LineKind::kOspf, false);
BENCHMARK_CAPTURE(BM_ParseKind, ospf_staged_with_paths, LineKind::kOspf, true);
BENCHMARK_CAPTURE(BM_ParseKind, eigrp_static, LineKind::kOtherIgp, false);
BENCHMARK_CAPTURE(BM_ParseKind, extra_path_printed, LineKind::kExtraPath, false);
BENCHMARK_CAPTURE(BM_ParseKind, connected_local, LineKind::kConnected, false);
BENCHMARK_CAPTURE(BM_ParseKind, header, LineKind::kHeader, false);
BENCHMARK_CAPTURE(BM_ParseKind, legend_prompt_gateway, LineKind::kText, false);

}  // namespace
}  // namespace kestrelon::bench

BENCHMARK_MAIN();
