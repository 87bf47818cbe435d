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
#include <vector>

#include "routes/route_line_parser.h"
#include "routes/sort_pipeline.h"
#include "routes/table_sections.h"
#include "test_files.h"

namespace kestrelon::routes {
namespace {

using kestrelon::testing::ReadFile;
using kestrelon::testing::TempDir;

const std::filesystem::path kCorpus = KESTRELON_REAL_CORPUS;

// VRF name (empty for the global table) and destination halves. The compare pairs by these
// alone; the mask key it reads follows the sorted order, so it is no part of the measure.
using Destination = std::tuple<std::string, std::int32_t, std::int32_t>;

// The captures that SOURCES.md marks as IOS-classic ("Y" in its second column).
std::vector<std::string> ClassicCaptures() {
  std::ifstream sources(kCorpus / "SOURCES.md");
  std::vector<std::string> names;
  for (std::string line; std::getline(sources, line);) {
    const std::size_t open = line.find("| `");
    const std::size_t close = line.find("` | Y |");
    if (open == 0 && close != std::string::npos) {
      names.push_back(line.substr(3, close - 3));
    }
  }
  return names;
}

// The entries of a capture as the compare reads them: sorted with the compare's options, then
// the route lines of each routing table.
std::multiset<Destination> CompareEntries(const std::filesystem::path& capture) {
  TempDir dir;
  RouteLineParser parser;
  SortPipeline pipeline(parser);
  pipeline.RunSort(1, capture.string(), dir / "c.srt", SortOptions{}.ForcedForCompare());
  const std::string sorted = ReadFile(dir / "c.srt");
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
      if (!line.empty() && line.back() == '\r') {
        line.pop_back();
      }
      std::int16_t state = 1;
      const ParsedLine p = reader.ParseDestination(line, state);
      if (p.CodeKey < kNoCode) {
        entries.emplace(std::string(table.name), p.DestHigh, p.DestLow);
      }
    }
  }
  return entries;
}

// Each destination once per prefix length: a /24 and a /32 of one address are two routes.
std::multiset<Destination> ExpectedDestinations(const std::filesystem::path& json) {
  std::ifstream in(json);
  const nlohmann::json records = nlohmann::json::parse(in);
  std::set<std::tuple<Destination, int>> routes;
  for (const nlohmann::json& r : records) {
    const std::string network = r.at("network").get<std::string>();
    if (network.find(':') != std::string::npos) {
      continue;  // IPv6
    }
    int o[4] = {};
    char dot = 0;
    std::istringstream octets(network);
    octets >> o[0] >> dot >> o[1] >> dot >> o[2] >> dot >> o[3];
    const int prefix = r.at("prefix_len_or_mask").get<int>();
    std::string vrf = r.at("vrf").is_string() ? r.at("vrf").get<std::string>() : "";
    if (vrf == "default") {
      vrf.clear();
    }
    routes.emplace(Destination{vrf, o[0] * 256 + o[1], o[2] * 256 + o[3]}, prefix);
  }
  std::multiset<Destination> expected;
  for (const auto& route : routes) {
    expected.insert(std::get<0>(route));
  }
  return expected;
}

TEST(RealCorpus, EveryExpectedIpv4DestinationIsARouteForTheCompare) {
  if (!std::filesystem::exists(kCorpus / "SOURCES.md")) {
    GTEST_SKIP() << "no real corpus at " << kCorpus;
  }
  std::size_t total = 0, found = 0, captures = 0;
  for (const std::string& name : ClassicCaptures()) {
    const std::filesystem::path json = kCorpus / (name + ".expected.json");
    if (!std::filesystem::exists(json)) {
      continue;
    }
    ++captures;
    std::multiset<Destination> entries = CompareEntries(kCorpus / (name + ".txt"));
    for (const Destination& d : ExpectedDestinations(json)) {
      ++total;
      const auto entry = entries.find(d);
      if (entry != entries.end()) {
        entries.erase(entry);
        ++found;
      } else {
        ADD_FAILURE() << name << ": [" << std::get<0>(d) << "] " << (std::get<1>(d) >> 8) << "."
                      << (std::get<1>(d) & 255) << "." << (std::get<2>(d) >> 8) << "."
                      << (std::get<2>(d) & 255) << " is no route line for the compare";
      }
    }
  }
  std::cout << "real corpus: " << found << " of " << total << " IPv4 destinations of " << captures
            << " captures are route lines for the compare\n";
  EXPECT_GT(captures, 0u);
}

}  // namespace
}  // namespace kestrelon::routes
