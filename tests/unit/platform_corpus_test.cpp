// The captures of platforms beyond the Cisco family in ../shared/corpus/platforms (skipped when
// absent), each with the records another parser's test suite expects: every reader reads each
// expected record and nothing else, accounts for every line, and reads the same from the
// capture reshaped as terminal logs are (CR LF line ends, indentation stripped).
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <filesystem>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "files/line_cursor.h"
#include "tables/line_accounting.h"
#include "tables/platform_detect.h"
#include "tables/route_table.h"
#include "test_files.h"

namespace kestrelon {
namespace {

namespace fs = std::filesystem;
using tables::Platform;

const fs::path kCorpus = KESTRELON_PLATFORM_CORPUS;

// Lines that no reader should understand, by capture: text that is no part of a routing table.
const std::map<std::string, std::size_t> kForeignLines = {
    {"ntc_routeros_terse_ipv6", 1},  // a log message the console echoed amid the routes
};

// Expected records upstream got wrong (SOURCES.md's known deviations), by capture and position:
// the VRF the capture prints.
struct UpstreamVrfError {
  const char* stem;
  std::size_t record;
  const char* vrf;
};
const UpstreamVrfError kUpstreamVrfErrors[] = {
    // ntc's detail template has no routing-mark: these routes are in other tables than main.
    {"ntc_routeros_print_detail", 3, "to-reserve"},
    {"ntc_routeros_print_detail", 4, "Free_Wi-Fi"},
    {"ntc_routeros_print_detail", 5, "Free_Wi-Fi"},
};

// Paths a capture prints that its upstream expectation has no record of (a known upstream
// deviation), as Describe writes them: read, and not taken for unexpected.
const std::multimap<std::string, std::string> kLeftOutUpstream = {
    // ntc's Linux template skips the typed rows: unreachable, broadcast, local.
    {"ntc_linux_ip_route_mixed", "default 0.0.0.0/0 via   [?/4278198272] "},
    {"ntc_linux_ip_route_mixed", "default 10.0.0.0/32 via  brblue [?/?] "},
    {"ntc_linux_ip_route_mixed", "default 10.0.0.1/32 via  brblue [?/?] "},
    {"ntc_linux_ip_route_mixed", "default 10.0.0.255/32 via  brblue [?/?] "},
};

// A gateway an expectation keeps where the capture prints "no gateway" (net-tools' 0.0.0.0),
// which the reader leaves out as "ip route" prints it.
const std::map<std::string, std::string> kNoGateway = {{"genie_linux_route_hostnames", "0.0.0.0"}};

// The platform a capture's name says (the upstream test folder it comes from).
std::optional<Platform> PlatformOfName(const std::string& stem) {
  static const std::pair<const char*, const char*> kMarks[] = {
      {"_junos_", "junos"},       {"_linux_", "linux"},       {"_edgeos_", "quagga"},
      {"_fortios_", "fortios"},   {"panos", "panos"},         {"_vrp_", "vrp"},
      {"_comware_", "comware"},   {"_routeros_", "routeros"}, {"_yamaha_", "yamaha"},
      {"_sir_", "sir"},           {"seil_", "seil"},          {"_aoscx_", "aoscx"},
      {"_procurve_", "procurve"}, {"_gaia_", "gaia"},         {"_ironware_", "ironware"},
      {"_vedge_", "vedge"},       {"_sros_", "sros"}};
  for (const auto& [mark, name] : kMarks) {
    if (stem.find(mark) != std::string::npos) {
      return tables::PlatformFromName(name);
    }
  }
  return std::nullopt;
}

// One path as read or expected; an expected field that is absent is not compared.
struct Path {
  std::optional<std::string> vrf, prefix, address, interface, uptime;
  std::optional<std::uint64_t> distance, metric;
};

std::optional<std::string> Text(const nlohmann::json& value) {
  if (value.is_null()) {
    return std::nullopt;
  }
  return value.is_string() ? value.get<std::string>() : value.dump();
}

std::optional<std::uint64_t> Number(const nlohmann::json& value) {
  return value.is_number_unsigned() || value.is_number_integer()
             ? std::optional(value.get<std::uint64_t>())
             : std::nullopt;
}

// The length of a dotted mask.
int MaskLength(const std::string& dotted) {
  int length = 0;
  std::size_t at = 0;
  for (int octet = 0; octet < 4 && at <= dotted.size(); ++octet) {
    length += std::popcount(static_cast<unsigned>(std::stoul(dotted.substr(at))));
    at = dotted.find('.', at);
    at = at == std::string::npos ? dotted.size() + 1 : at + 1;
  }
  return length;
}

// The prefix an expected record names, as the records write it; none for a destination that is
// no address (an MPLS label), which readers may leave out.
std::optional<std::string> ExpectedPrefix(const nlohmann::json& r) {
  const std::string network = Text(r["network"]).value_or("");
  const bool v6 = network.find(':') != std::string::npos ||
                  Text(r["nexthop_ip"]).value_or("").find(':') != std::string::npos;
  if (network == "default") {
    return v6 ? "::/0" : "0.0.0.0/0";
  }
  if (network.find_first_not_of("0123456789abcdefABCDEF.:") != std::string::npos ||
      network.empty()) {
    return std::nullopt;
  }
  const nlohmann::json& length = r["prefix_len_or_mask"];
  if (length.is_null()) {
    return network + (v6 ? "/128" : "/32");
  }
  if (length.is_string()) {
    return network + "/" + std::to_string(MaskLength(length.get<std::string>()));
  }
  return network + "/" + std::to_string(length.get<int>());
}

std::string Describe(const Path& p) {
  return p.vrf.value_or("?") + " " + p.prefix.value_or("?") + " via " + p.address.value_or("") +
         " " + p.interface.value_or("") + " [" + (p.distance ? std::to_string(*p.distance) : "?") +
         "/" + (p.metric ? std::to_string(*p.metric) : "?") + "] " + p.uptime.value_or("");
}

bool Matches(const Path& expected, const Path& read) {
  const auto same = [](const auto& e, const auto& r) { return !e || e == r; };
  return same(expected.vrf, read.vrf) && same(expected.prefix, read.prefix) &&
         same(expected.address, read.address) && same(expected.interface, read.interface) &&
         same(expected.distance, read.distance) && same(expected.metric, read.metric) &&
         same(expected.uptime, read.uptime);
}

struct Reading {
  std::vector<Path> paths;
  tables::LineAccount account;
};

Reading Read(const std::string& capture, Platform platform) {
  tables::RouteTable table;
  Reading reading;
  tables::MakeReader(platform)->Read(capture, table, reading.account);
  table.ForEach([&](const tables::RouteView& route) {
    Path path{std::string(route.vrf),
              std::string(route.prefix),
              "",
              "",
              std::nullopt,
              route.distance,
              route.metric};
    if (route.uptime) {
      path.uptime = std::string(*route.uptime);
    }
    if (route.nextHops.empty()) {
      reading.paths.push_back(path);
    }
    for (const tables::NextHopView& hop : route.nextHops) {
      path.address = std::string(hop.address.value_or(""));
      path.interface = std::string(hop.interface.value_or(""));
      reading.paths.push_back(path);
    }
  });
  return reading;
}

// The capture as a terminal log may hold it: CR LF line ends, no indentation.
std::string Reshaped(const std::string& capture) {
  std::string out;
  files::LineCursor cursor(capture);
  while (!cursor.AtEnd()) {
    const std::string_view line = cursor.Next();
    const std::size_t indent = line.find_first_not_of(" \t");
    out.append(indent == std::string_view::npos ? "" : line.substr(indent));
    out.append("\r\n");
  }
  return out;
}

std::size_t LineCount(std::string_view capture) {
  files::LineCursor cursor(capture);
  std::size_t lines = 0;
  for (; !cursor.AtEnd(); cursor.Next()) {
    ++lines;
  }
  return lines;
}

TEST(PlatformCorpus, ReadersReadEveryExpectedRecordAndNothingElse) {
  if (!fs::is_directory(kCorpus)) {
    GTEST_SKIP() << "no corpus at " << kCorpus;
  }
  std::vector<std::string> stems;
  for (const fs::directory_entry& entry : fs::directory_iterator(kCorpus)) {
    const std::string name = entry.path().filename().string();
    if (name.ends_with(".txt")) {
      stems.push_back(name.substr(0, name.size() - 4));
    }
  }
  std::sort(stems.begin(), stems.end());
  ASSERT_FALSE(stems.empty());

  for (const std::string& stem : stems) {
    SCOPED_TRACE(stem);
    const std::optional<Platform> platform = PlatformOfName(stem);
    ASSERT_TRUE(platform.has_value());
    const std::string capture = testing::ReadFile((kCorpus / (stem + ".txt")).string());
    const Reading reading = Read(capture, *platform);
    ASSERT_LT(reading.account.notUnderstood(), reading.account.lines()) << "nothing read";
    EXPECT_EQ(tables::DetectPlatform(capture), platform);
    EXPECT_EQ(tables::DetectPlatform(Reshaped(capture)), platform);

    // Every line is accounted for; only lines foreign to a routing table are not understood.
    EXPECT_EQ(reading.account.lines(), LineCount(capture));
    const auto foreign = kForeignLines.find(stem);
    EXPECT_EQ(reading.account.notUnderstood(),
              foreign == kForeignLines.end() ? 0 : foreign->second);
    for (const tables::LineExample& example : reading.account.examples()) {
      std::cout << "  " << stem << ":" << example.line << ": not understood: " << example.text
                << "\n";
    }

    // A log's shape changes nothing.
    const Reading reshaped = Read(Reshaped(capture), *platform);
    ASSERT_EQ(reshaped.paths.size(), reading.paths.size());
    for (std::size_t i = 0; i < reading.paths.size(); ++i) {
      EXPECT_EQ(Describe(reshaped.paths[i]), Describe(reading.paths[i]));
    }

    const fs::path expectedFile = kCorpus / (stem + ".expected.json");
    if (!fs::exists(expectedFile)) {
      continue;
    }
    std::vector<bool> used(reading.paths.size());
    std::size_t agreeing = 0, expectedCount = 0, index = 0;
    for (nlohmann::json r : nlohmann::json::parse(testing::ReadFile(expectedFile))) {
      for (const UpstreamVrfError& error : kUpstreamVrfErrors) {
        if (error.stem == stem && error.record == index) {
          r["vrf"] = error.vrf;
        }
      }
      ++index;
      const std::optional<std::string> prefix = ExpectedPrefix(r);
      if (!prefix) {
        continue;  // a label of an MPLS table, left out of the records
      }
      ++expectedCount;
      Path expected{Text(r["vrf"]),        prefix,
                    Text(r["nexthop_ip"]), Text(r["nexthop_if"]),
                    Text(r["uptime"]),     Number(r["distance"]),
                    Number(r["metric"])};
      if (const auto none = kNoGateway.find(stem);
          none != kNoGateway.end() && expected.address == none->second) {
        expected.address = "";
      }
      std::size_t i = 0;
      while (i < reading.paths.size() && (used[i] || !Matches(expected, reading.paths[i]))) {
        ++i;
      }
      if (i == reading.paths.size()) {
        ADD_FAILURE() << "not read: " << Describe(expected);
        continue;
      }
      used[i] = true;
      ++agreeing;
    }
    for (auto [left, end] = kLeftOutUpstream.equal_range(stem); left != end; ++left) {
      for (std::size_t i = 0; i < reading.paths.size(); ++i) {
        if (!used[i] && Describe(reading.paths[i]) == left->second) {
          used[i] = true;
          break;
        }
      }
    }
    for (std::size_t i = 0; i < reading.paths.size(); ++i) {
      if (!used[i]) {
        ADD_FAILURE() << "unexpected: " << Describe(reading.paths[i]);
      }
    }
    std::cout << "  " << stem << ": " << agreeing << " of " << expectedCount
              << " expected paths read\n";
  }
}

}  // namespace
}  // namespace kestrelon
