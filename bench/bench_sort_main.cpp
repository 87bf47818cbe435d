// kestrelon-bench-sort: runs one whole sort or one whole compare with the real core and prints
// its time, the process's peak resident memory and its peak heap, for bench/sort_vs_tools.sh.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "bench/heap_counter.h"
#include "files/file_writer.h"
#include "files/line_sink.h"
#include "files/mapped_file.h"
#include "files/private_folder.h"
#include "names/output_names.h"
#include "routes/compare_run.h"
#include "routes/route_compare.h"
#include "routes/route_line_parser.h"
#include "routes/sort_options.h"
#include "routes/sort_pipeline.h"

namespace {

constexpr std::string_view kUsage =
    "usage: kestrelon-bench-sort sort INPUT OUTPUT\n"
    "       kestrelon-bench-sort compare BEFORE AFTER DIFF\n"
    "       kestrelon-bench-sort steps INPUT OUTPUT    (the sort's steps timed one by one)\n"
    "Prints seconds=<wall time of the core call> max_rss_kib=<peak resident memory of the\n"
    "process> heap_peak_bytes=<most bytes held through operator new at once> and the line or\n"
    "difference count. Default options, as a user who changed nothing.\n";

long PeakRssKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;  // KiB on Linux
}

}  // namespace

int main(int argc, char** argv) {
  using kestrelon::names::StripExtension;
  using kestrelon::routes::CompareRequest;
  using kestrelon::routes::RouteLineParser;
  using kestrelon::routes::SortOptions;
  using kestrelon::routes::SortPipeline;
  const std::string_view mode = argc > 1 ? argv[1] : "";
  if (!(((mode == "sort" || mode == "steps") && argc == 4) || (mode == "compare" && argc == 5))) {
    std::fwrite(kUsage.data(), 1, kUsage.size(), stderr);
    return 2;
  }
  try {
    RouteLineParser parser;
    SortPipeline pipeline(parser);
    const auto start = std::chrono::steady_clock::now();
    long long count = 0;
    auto last = start;
    const auto lap = [&last](const char* step) {
      const auto now = std::chrono::steady_clock::now();
      std::printf("%s=%.6f ", step, std::chrono::duration<double>(now - last).count());
      last = now;
    };
    CompareRequest request;
    if (mode == "compare") {
      for (int side = 0; side < 2; ++side) {
        request.inputs[side] = argv[2 + side];
        request.sortResults[side] =
            StripExtension(request.inputs[side]) + ".bench-sort" + std::to_string(side + 1);
      }
      request.diffFile = argv[4];
    }
    if (mode == "steps") {
      const std::string input = argv[2];
      kestrelon::files::PrivateFolder work;
      kestrelon::files::AtomicOutputFile result(argv[3]);
      pipeline.SetFiles(1, input, work.NewFile("staging"), argv[3]);
      const SortOptions options;
      pipeline.StageLog(1, options);
      lap("stage+keys");
      pipeline.SortRecords(1);
      lap("sort");
      kestrelon::files::FileLineSink sink(result);
      pipeline.WriteSortResult(1, options, sink);
      result.Commit();
      lap("write");
      pipeline.KillTmpFile(1);
      lap("kill");
      count = static_cast<long long>(pipeline.lngLineCount(1));
    } else if (mode == "sort") {
      pipeline.RunSort(1, argv[2], argv[3], SortOptions{});
      count = static_cast<long long>(pipeline.lngLineCount(1));
    } else {
      count = static_cast<long long>(kestrelon::routes::RunCompare(pipeline, request));
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("seconds=%.6f max_rss_kib=%ld heap_peak_bytes=%zu %s=%lld\n", elapsed.count(),
                PeakRssKib(), kestrelon::bench::HeapPeakBytes(),
                mode == "compare" ? "differences" : "lines", count);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kestrelon-bench-sort: %s\n", error.what());
    return 2;
  }
  return 0;
}
