// The real captures of ../shared/corpus/real (read relative to the checkout; skipped when it
// is absent) against the records that another parser's own test suite expects for them,
// compared as sets of (vrf, prefix, next-hop address, next-hop interface).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <tuple>

#include "tables/platform_detect.h"
#include "tables/route_table.h"
#include "test_files.h"

namespace kestrelon::tables {
namespace {

namespace fs = std::filesystem;
using Path = std::tuple<std::string, std::string, std::string, std::string>;

const fs::path kCorpus = KESTRELON_REAL_CORPUS;

// The platform a capture's name says (the upstream test folder it comes from).
Platform PlatformOfName(const std::string& name) {
  if (name.find("_xr_") != std::string::npos)
    return Platform::kIosXr;
  if (name.find("_eos_") != std::string::npos)
    return Platform::kEos;
  if (name.find("_nxos_") != std::string::npos)
    return Platform::kNxos;
  if (name.find("_asa_") != std::string::npos)
    return Platform::kAsa;
  return Platform::kIos;  // IOS, IOS-XE, and AlliedWare Plus, which prints IOS's layout
}

// genie writes NX-OS interfaces in full ("Ethernet1/64" for the printed "Eth1/64", "Loopback11"
// for "Lo11"): names compare by their first two letters and what follows the letters.
std::string InterfaceKey(const std::string& name) {
  std::size_t letters = 0;
  while (letters < name.size() && std::isalpha(static_cast<unsigned char>(name[letters]))) {
    ++letters;
  }
  std::string key = name.substr(0, std::min<std::size_t>(letters, 2)) + name.substr(letters);
  std::transform(key.begin(), key.end(), key.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return key;
}

// ASA expectations give the mask dotted: its length is that of its leading ones.
int MaskLength(const std::string& dotted) {
  std::uint32_t mask = 0;
  std::size_t at = 0;
  for (int octet = 0; octet < 4; ++octet) {
    std::size_t used = 0;
    mask = mask << 8 | static_cast<std::uint32_t>(std::stoul(dotted.substr(at), &used));
    at += used + 1;
  }
  int length = 0;
  while (length < 32 && (mask >> (31 - length) & 1u) != 0) {
    ++length;
  }
  return length;
}

std::string TextOr(const nlohmann::json& value) {
  return value.is_string() ? value.get<std::string>() : std::string();
}

std::set<Path> ExpectedPaths(const fs::path& file) {
  const nlohmann::json records = nlohmann::json::parse(testing::ReadFile(file.string()));
  std::set<Path> paths;
  for (const nlohmann::json& r : records) {
    std::string vrf = TextOr(r["vrf"]);
    if (vrf.empty()) {
      vrf = "default";  // ntc's name for the global table
    }
    const nlohmann::json& length = r["prefix_len_or_mask"];
    const int bits = length.is_string() ? MaskLength(length.get<std::string>()) : length.get<int>();
    paths.emplace(vrf, TextOr(r["network"]) + "/" + std::to_string(bits), TextOr(r["nexthop_ip"]),
                  InterfaceKey(TextOr(r["nexthop_if"])));
  }
  return paths;
}

std::set<Path> ReadPaths(const RouteTable& table) {
  std::set<Path> paths;
  table.ForEach([&](const RouteView& route) {
    const std::string vrf(route.vrf);
    const std::string prefix(route.prefix);
    if (route.nextHops.empty()) {
      paths.emplace(vrf, prefix, "", "");
    }
    for (const NextHopView& hop : route.nextHops) {
      paths.emplace(vrf, prefix, std::string(hop.address.value_or("")),
                    InterfaceKey(std::string(hop.interface.value_or(""))));
    }
  });
  return paths;
}

std::string Describe(const Path& p) {
  return std::get<0>(p) + " " + std::get<1>(p) + " via " + std::get<2>(p) + " " + std::get<3>(p);
}

TEST(RouteTablesCorpus, EveryExpectedRecordIsReadAndNothingElse) {
  if (!fs::is_directory(kCorpus)) {
    GTEST_SKIP() << "no corpus at " << kCorpus;
  }
  std::vector<fs::path> expectations;
  for (const fs::directory_entry& entry : fs::directory_iterator(kCorpus)) {
    const std::string name = entry.path().filename().string();
    if (name.ends_with(".expected.json")) {
      expectations.push_back(entry.path());
    }
  }
  std::sort(expectations.begin(), expectations.end());
  ASSERT_FALSE(expectations.empty());

  std::size_t agreeing = 0;
  for (const fs::path& expectation : expectations) {
    std::string stem = expectation.filename().string();
    stem.resize(stem.size() - std::string(".expected.json").size());
    SCOPED_TRACE(stem);
    const std::string capture = testing::ReadFile((kCorpus / (stem + ".txt")).string());

    const std::optional<Platform> detected = DetectPlatform(capture);
    EXPECT_EQ(detected, PlatformOfName(stem));
    RouteTable table;
    MakeReader(PlatformOfName(stem))->Read(capture, table);

    const std::set<Path> expected = ExpectedPaths(expectation);
    const std::set<Path> read = ReadPaths(table);
    std::vector<Path> missing, extra;
    std::set_difference(expected.begin(), expected.end(), read.begin(), read.end(),
                        std::back_inserter(missing));
    std::set_difference(read.begin(), read.end(), expected.begin(), expected.end(),
                        std::back_inserter(extra));
    for (const Path& p : missing) {
      ADD_FAILURE() << "not read: " << Describe(p);
    }
    for (const Path& p : extra) {
      ADD_FAILURE() << "read but not expected: " << Describe(p);
    }
    const std::size_t agree = expected.size() - missing.size();
    agreeing += missing.empty() && extra.empty() ? 1 : 0;
    std::cout << "  " << stem << ": " << agree << " of " << expected.size()
              << " expected paths read, " << extra.size() << " more\n";
  }
  std::cout << "  " << agreeing << " of " << expectations.size() << " captures agree\n";
}

}  // namespace
}  // namespace kestrelon::tables
