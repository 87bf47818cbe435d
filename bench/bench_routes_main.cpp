// kestrelon-bench-routes: times the route-table model on one capture, step by step, with the
// real core: reading to records (the platform's reader alone), reading into a held table (and
// its bytes per route), and reading while writing JSON or CSV into memory that is thrown away;
// and the looks every reading begins with: for a terminal program's marks, for several
// devices and platforms.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "files/mapped_file.h"
#include "tables/capture_reading.h"
#include "tables/csv_writer.h"
#include "tables/json_writer.h"
#include "tables/platform_detect.h"
#include "tables/route_table.h"

namespace {

using namespace kestrelon::tables;

class CountingSink : public RouteSink {
 public:
  void Put(const RouteView& route) override {
    ++routes;
    hops += route.nextHops.size();
  }
  // Routes are counted on both threads of a reader that reads two halves at once.
  std::unique_ptr<RouteSink> NewPart() override { return std::make_unique<CountingSink>(); }
  void AppendPart(std::unique_ptr<RouteSink> part) override {
    const auto& counted = static_cast<const CountingSink&>(*part);
    routes += counted.routes;
    hops += counted.hops;
  }
  std::size_t routes = 0;
  std::size_t hops = 0;
};

// Counts the bytes a writer produces and keeps none of them.
class DiscardingBytes : public ByteSink {
 public:
  void Write(std::string_view bytes) override { size += bytes.size(); }
  std::size_t size = 0;
};

template <typename Run>
double BestSeconds(int runs, Run&& run) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  // A step and a run count time one step alone (for callgrind or perf: "read 1").
  const std::string_view step = argc > 2 ? argv[2] : "all";
  const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
  if (argc < 2 || argc > 4 || runs < 1 ||
      (step != "all" && step != "read" && step != "held" && step != "json" && step != "csv" &&
       step != "clean")) {
    std::fputs("usage: kestrelon-bench-routes CAPTURE [all|read|held|json|csv|clean [RUNS]]\n",
               stderr);
    return 2;
  }
  const auto wanted = [&](std::string_view name) { return step == "all" || step == name; };
  try {
    const kestrelon::files::MappedFile file(argv[1]);
    const std::string_view capture = file.bytes();
    const std::size_t lines =
        static_cast<std::size_t>(std::count(capture.begin(), capture.end(), '\n'));
    const Platform platform = ChoosePlatform(capture, argv[1], std::nullopt);
    const auto reader = MakeReader(platform);

    std::printf("platform=%s lines=%zu\n", std::string(PlatformName(platform)).c_str(), lines);
    if (wanted("clean")) {
      // What every reading does before its reader runs: placing the capture (as before the log
      // cleaning), and the looks added by it (cleaning, devices, platforms).
      const double placing = BestSeconds(runs, [&] { ChoosePlacement(capture, argv[1], {}); });
      bool cleaned = false;
      std::size_t parts = 0;
      const double setUp = BestSeconds(runs, [&] {
        const CaptureReading reading(capture);
        reading.Place(reading.parts().front(), argv[1], {});
        parts = reading.parts().size();
        cleaned = reading.parts().front().text.data() != capture.data();
      });
      std::printf("placing:    %.3f s; with the log looks %.3f s (%s, %zu part(s))\n", placing,
                  setUp, cleaned ? "cleaned" : "read in place", parts);
    }
    if (wanted("read")) {
      CountingSink counted;
      const double read = BestSeconds(runs, [&] {
        counted = CountingSink();
        reader->Read(capture, counted);
      });
      std::printf("read:       %.3f s  %.1f M lines/s  routes=%zu next_hops=%zu\n", read,
                  static_cast<double>(lines) / read / 1e6, counted.routes, counted.hops);
    }

    if (wanted("held")) {
      std::size_t bytes = 0;
      std::size_t routes = 0;
      const double held = BestSeconds(runs, [&] {
        RouteTable table;
        reader->Read(capture, table);
        bytes = table.MemoryBytes();
        routes = table.size();
      });
      std::printf(
          "held table: %.3f s  %.1f bytes a route\n", held,
          static_cast<double>(bytes) / static_cast<double>(std::max<std::size_t>(routes, 1)));
    }

    if (wanted("json")) {
      DiscardingBytes json;
      const double toJson = BestSeconds(runs, [&] {
        json = DiscardingBytes();
        JsonRouteWriter writer(json, false);
        writer.BeginCapture(argv[1], platform);
        reader->Read(capture, writer);
        writer.EndCapture();
        writer.Finish();
      });
      std::printf("read+JSON:  %.3f s  %.1f MB\n", toJson, static_cast<double>(json.size) / 1e6);
    }

    if (wanted("csv")) {
      DiscardingBytes csv;
      const double toCsv = BestSeconds(runs, [&] {
        csv = DiscardingBytes();
        CsvRouteWriter writer(csv);
        writer.BeginCapture(argv[1], platform);
        reader->Read(capture, writer);
        writer.Finish();
      });
      std::printf("read+CSV:   %.3f s  %.1f MB\n", toCsv, static_cast<double>(csv.size) / 1e6);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kestrelon-bench-routes: %s\n", error.what());
    return 2;
  }
  return 0;
}
