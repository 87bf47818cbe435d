// The IOS-classic captures of the shared real corpus: every IPv4 destination that the upstream
// parsers expect is an entry for the compare, in the routing table of its VRF. Skipped when the
// corpus is not beside the checkout.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "routes/route_line_parser.h"
#include "routes/sort_pipeline.h"
#include "routes/table_sections.h"
#include "test_files.h"

namespace kestrelon::routes {
namespace {

const std::filesystem::path kCorpus = KESTRELON_REAL_CORPUS;

// VRF name (empty for the global table) and destination halves: what the compare pairs by.
using Destination = std::tuple<std::string, std::int32_t, std::int32_t>;

// The entries of a capture as the compare reads them: sorted with the compare's options, then
// the route lines of each routing table.
std::multiset<Destination> CompareEntries(const std::filesystem::path& capture) {
  testing::TempDir dir;
  RouteLineParser parser;
  SortPipeline pipeline(parser);
  pipeline.RunSort(1, capture.string(), dir / "c.srt", SortOptions{}.ForcedForCompare());
  const std::string sorted = testing::ReadFile(dir / "c.srt");
  std::vector<TableSection> tables = SplitTableSections(sorted);
  if (!HasSeveralTables(tables)) {
    std::string_view name;
    for (const TableSection& table : tables) {
      name = table.headed ? table.name : name;
    }
    tables = {{name, sorted, false}};
  }
  std::multiset<Destination> entries;
  for (const TableSection& table : tables) {
    RouteLineParser reader = parser;
    std::istringstream lines{std::string(table.text)};
    for (std::string line; std::getline(lines, line);) {
      std::int16_t state = 1;
      const ParsedLine p = reader.ParseDestination(line.substr(0, line.find('\r')), state);
      if (p.CodeKey < kNoCode) {
        entries.emplace(std::string(table.name), p.DestHigh, p.DestLow);
      }
    }
  }
  return entries;
}

// Each IPv4 destination once per prefix length: a /24 and a /32 of one address are two routes.
std::multiset<Destination> ExpectedDestinations(const std::filesystem::path& json) {
  std::ifstream in(json);
  std::set<std::tuple<Destination, int>> routes;
  for (const nlohmann::json& r : nlohmann::json::parse(in)) {
    int o[4] = {};
    char dot = 0;
    std::istringstream octets(r.at("network").get<std::string>());
    if (octets >> o[0] >> dot >> o[1] >> dot >> o[2] >> dot >> o[3] && dot == '.') {
      const std::string vrf = r.at("vrf").is_string() ? r.at("vrf").get<std::string>() : "";
      routes.emplace(Destination{vrf == "default" ? "" : vrf, o[0] * 256 + o[1], o[2] * 256 + o[3]},
                     r.at("prefix_len_or_mask").get<int>());
    }
  }
  std::multiset<Destination> expected;
  for (const auto& route : routes) {
    expected.insert(std::get<0>(route));
  }
  return expected;
}

TEST(RealCorpus, EveryExpectedIpv4DestinationIsARouteForTheCompare) {
  std::ifstream sources(kCorpus / "SOURCES.md");
  if (!sources) {
    GTEST_SKIP() << "no real corpus at " << kCorpus;
  }
  int captures = 0, total = 0, found = 0;
  // The captures marked IOS-classic: "| `NAME` | Y |".
  for (std::string line; std::getline(sources, line);) {
    const std::size_t close = line.find("` | Y |");
    const std::string name = line.starts_with("| `") ? line.substr(3, close - 3) : "";
    if (close == std::string::npos ||
        !std::filesystem::exists(kCorpus / (name + ".expected.json"))) {
      continue;
    }
    ++captures;
    std::multiset<Destination> entries = CompareEntries(kCorpus / (name + ".txt"));
    for (const Destination& d : ExpectedDestinations(kCorpus / (name + ".expected.json"))) {
      const auto entry = entries.find(d);
      ++total;
      if (entry == entries.end()) {
        ADD_FAILURE() << name << ": [" << std::get<0>(d) << "] " << (std::get<1>(d) >> 8) << "."
                      << (std::get<1>(d) & 255) << "." << (std::get<2>(d) >> 8) << "."
                      << (std::get<2>(d) & 255) << " is no route line for the compare";
      } else {
        entries.erase(entry);
        ++found;
      }
    }
  }
  std::cout << "real corpus: " << found << " of " << total << " IPv4 destinations of " << captures
            << " captures are route lines for the compare\n";
  EXPECT_GT(captures, 0);
}

}  // namespace
}  // namespace kestrelon::routes
