// The real captures of ../shared/corpus/real (read relative to the checkout; skipped when it is
// absent), each with the records another parser's own test suite expects for it: the table
// readers read those records and nothing else; and the IOS reader sees every route the text
// pipeline's parser sees, in those captures and the golden ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <tuple>

#include "files/capture_text.h"
#include "files/line_cursor.h"
#include "files/line_sink.h"
#include "routes/route_line_parser.h"
#include "routes/staging.h"
#include "tables/json_writer.h"
#include "tables/line_accounting.h"
#include "tables/platform_detect.h"
#include "tables/readers/ios.h"
#include "tables/route_table.h"
#include "test_files.h"

namespace kestrelon {
namespace {

namespace fs = std::filesystem;
using tables::Platform;

const fs::path kCorpus = KESTRELON_REAL_CORPUS;

// One expected path: vrf as written (empty for none), network/bits, next-hop address and
// interface.
struct Expected {
  std::string vrf, prefix, hopAddress, hopInterface;
};

std::string TextOr(const nlohmann::json& value) {
  return value.is_string() ? value.get<std::string>() : std::string();
}

// ASA expectations give the mask dotted: its length is that of its leading ones; -1 for a mask
// whose ones are not contiguous.
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
  return length == 32 || (mask << length) == 0 ? length : -1;
}

// The records a capture's expectations list; those with a mask no device accepts (a capture
// sanitised by hand: "255.255.255.64") are counted in unreadable instead, as the readers count
// their lines as not understood.
std::vector<Expected> ExpectedRecords(const fs::path& file, std::size_t& unreadable) {
  std::vector<Expected> records;
  for (const nlohmann::json& r : nlohmann::json::parse(testing::ReadFile(file.string()))) {
    const nlohmann::json& length = r["prefix_len_or_mask"];
    const int bits = length.is_string() ? MaskLength(length.get<std::string>()) : length.get<int>();
    if (bits < 0) {
      ++unreadable;
      continue;
    }
    records.push_back({TextOr(r["vrf"]), TextOr(r["network"]) + "/" + std::to_string(bits),
                       TextOr(r["nexthop_ip"]), TextOr(r["nexthop_if"])});
  }
  return records;
}

// The lines of a capture as the readers count them.
std::size_t LineCount(std::string_view capture) {
  files::LineCursor cursor(capture);
  std::size_t lines = 0;
  for (; !cursor.AtEnd(); cursor.Next()) {
    ++lines;
  }
  return lines;
}

// The platform a capture's name says (the upstream test folder it comes from).
Platform PlatformOfName(const std::string& name) {
  for (const auto& [mark, platform] : {std::pair{"_xr_", Platform::kIosXr},
                                       {"_eos_", Platform::kEos},
                                       {"_nxos_", Platform::kNxos},
                                       {"_asa_", Platform::kAsa}}) {
    if (name.find(mark) != std::string::npos) {
      return platform;
    }
  }
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

using Path = std::tuple<std::string, std::string, std::string, std::string>;

TEST(RealCorpus, TableReadersReadEveryExpectedRecordAndNothingElse) {
  if (!fs::is_directory(kCorpus)) {
    GTEST_SKIP() << "no corpus at " << kCorpus;
  }
  std::vector<std::string> stems;
  for (const fs::directory_entry& entry : fs::directory_iterator(kCorpus)) {
    const std::string name = entry.path().filename().string();
    if (name.ends_with(".expected.json")) {
      stems.push_back(name.substr(0, name.size() - std::string(".expected.json").size()));
    }
  }
  std::sort(stems.begin(), stems.end());
  ASSERT_FALSE(stems.empty());

  std::size_t agreeing = 0;
  for (const std::string& stem : stems) {
    SCOPED_TRACE(stem);
    const std::string capture = testing::ReadFile((kCorpus / (stem + ".txt")).string());
    EXPECT_EQ(tables::DetectPlatform(capture), PlatformOfName(stem));
    tables::RouteTable table;
    tables::LineAccount account;
    tables::MakeReader(PlatformOfName(stem))->Read(capture, table, account);

    // Every line is accounted for, and only the lines that hold no readable route are not
    // understood.
    std::size_t unreadable = 0;
    const std::vector<Expected> records =
        ExpectedRecords(kCorpus / (stem + ".expected.json"), unreadable);
    EXPECT_EQ(account.lines(), LineCount(capture));
    EXPECT_EQ(account.notUnderstood(), unreadable);
    for (const tables::LineExample& example : account.examples()) {
      std::cout << "  " << stem << ":" << example.line << ": not understood: " << example.text
                << "\n";
    }
    std::set<Path> expected, read;
    for (const Expected& e : records) {
      // ntc's name for the global table is none
      expected.emplace(e.vrf.empty() ? "default" : e.vrf, e.prefix, e.hopAddress,
                       InterfaceKey(e.hopInterface));
    }
    table.ForEach([&](const tables::RouteView& route) {
      const std::string vrf(route.vrf), prefix(route.prefix);
      if (route.nextHops.empty()) {
        read.emplace(vrf, prefix, "", "");
      }
      for (const tables::NextHopView& hop : route.nextHops) {
        read.emplace(vrf, prefix, std::string(hop.address.value_or("")),
                     InterfaceKey(std::string(hop.interface.value_or(""))));
      }
    });
    std::vector<Path> missing, extra;
    std::set_difference(expected.begin(), expected.end(), read.begin(), read.end(),
                        std::back_inserter(missing));
    std::set_difference(read.begin(), read.end(), expected.begin(), expected.end(),
                        std::back_inserter(extra));
    for (const auto& [list, what] : {std::pair{&missing, "not read: "}, {&extra, "unexpected: "}}) {
      for (const Path& p : *list) {
        ADD_FAILURE() << what << std::get<0>(p) << " " << std::get<1>(p) << " via "
                      << std::get<2>(p) << " " << std::get<3>(p);
      }
    }
    agreeing += missing.empty() && extra.empty() ? 1 : 0;
    std::cout << "  " << stem << ": " << expected.size() - missing.size() << " of "
              << expected.size() << " expected paths read, " << extra.size() << " more\n";
  }
  std::cout << "  " << agreeing << " of " << stems.size() << " captures agree\n";
}

// How many lines or routes give each destination (o1.o2.o3.o4), and each destination with its
// mask length.
struct Entries {
  std::map<std::string, int> destinations;
  std::map<std::pair<std::string, int>, int> withLength;
};

std::string Quad(std::int32_t high, std::int32_t low) {
  return std::to_string(high >> 8) + "." + std::to_string(high & 255) + "." +
         std::to_string(low >> 8) + "." + std::to_string(low & 255);
}

// Every line the parser reads as a route entry (a code line that is no classful header and no
// path staging expanded); withLength counts only the lines that give their own mask.
Entries ParserEntries(const std::string& capture) {
  files::VectorLineSink staged;
  routes::StagingMarks marks;
  routes::StageLines(capture, staged, &marks);
  const std::set<std::int64_t> expanded(marks.expanded.begin(), marks.expanded.end());
  std::int64_t number = 0;
  routes::RouteLineParser parser;
  std::int16_t state = routes::kLineStateReset;
  Entries entries;
  for (const std::string& line : staged.lines) {
    const bool wasExpanded = expanded.count(number++) > 0;
    routes::RouteLineLayout layout;
    const routes::ParsedLine p = parser.ParseLayout(line, state, layout);
    // A length out of range ("/33", "/100") makes the line one the table readers do not
    // understand.
    const std::string_view after = std::string_view(line).substr(layout.destinationEnd);
    const std::size_t digits = after.find_first_not_of("0123456789", 1);
    const bool badLength =
        after.starts_with('/') && (layout.printedLength > 32 || digits > 3 ||
                                   (digits < after.size() && after[digits] != ' '));
    if (state == 2 && layout.codeLine && line.find("subnetted,") == std::string::npos &&
        !wasExpanded && !badLength) {
      const std::string destination = Quad(p.DestHigh, p.DestLow);
      ++entries.destinations[destination];
      if (layout.ownMask >= 0) {
        ++entries.withLength[{destination, layout.ownMask}];
      }
    }
  }
  return entries;
}

Entries ReaderEntries(const std::string& capture) {
  tables::RouteTable table;
  tables::IosReader().Read(capture, table);
  Entries entries;
  table.ForEach([&](const tables::RouteView& route) {
    const std::size_t slash = route.prefix.find('/');
    const std::string address(route.prefix.substr(0, slash));
    ++entries.destinations[address];
    ++entries.withLength[{address, std::stoi(std::string(route.prefix.substr(slash + 1)))}];
  });
  return entries;
}

// One reading of an IOS line: the same destination and, where the line gives one, the same mask
// length.
TEST(RealCorpus, IosReaderSeesEveryRouteTheTextPipelineSees) {
  std::vector<fs::path> captures;
  for (const auto& entry : fs::directory_iterator(fs::path(KESTRELON_TEST_DATA) / "golden")) {
    if (entry.path().extension() == ".log") {
      captures.push_back(entry.path());
    }
  }
  if (fs::is_directory(kCorpus)) {
    for (const auto& entry : fs::directory_iterator(kCorpus)) {
      const std::string name = entry.path().filename().string();
      if (name.ends_with(".txt") && (name.find("_ios") != std::string::npos)) {
        captures.push_back(entry.path());
      }
    }
  }
  ASSERT_FALSE(captures.empty());
  for (const fs::path& path : captures) {
    const std::string capture = testing::ReadFile(path.string());
    const Entries parser = ParserEntries(capture);
    const Entries reader = ReaderEntries(capture);
    // The reader also reads a wrapped entry whose first line lost its trailing blank
    // ("D       10.122.254.32/29"), which the text pipeline takes for no route.
    for (const auto& [destination, count] : parser.destinations) {
      EXPECT_GE(reader.destinations.count(destination) ? reader.destinations.at(destination) : 0,
                count)
          << path.filename() << ": " << destination;
    }
    for (const auto& [entry, count] : parser.withLength) {
      EXPECT_GE(reader.withLength.count(entry) ? reader.withLength.at(entry) : 0, count)
          << path.filename() << ": " << entry.first << "/" << entry.second;
    }
  }
}

// The records a reader gives (as JSON) and the lines it did not understand.
std::pair<std::string, std::size_t> ReadAs(Platform platform, std::string_view capture) {
  tables::StringByteSink out;
  tables::JsonRouteWriter writer(out, false);
  tables::LineAccount account;
  writer.BeginCapture("capture", platform);
  tables::MakeReader(platform)->Read(capture, writer, account);
  writer.EndCapture();
  writer.Finish();
  EXPECT_EQ(account.lines(), LineCount(capture));
  return {out.text, account.notUnderstood()};
}

// Each line of text changed by edit.
template <typename Edit>
std::string EachLine(std::string_view text, Edit&& edit) {
  std::string edited;
  files::LineCursor cursor(text);
  while (!cursor.AtEnd()) {
    edited += edit(std::string(cursor.Next()));
    edited += "\n";
  }
  return edited;
}

// What logs do to a capture, read by its own platform: the same records, no line less
// understood. Indentation stripped (a log pasted from a ticket), blanks after every line (a
// terminal window copied by selection), and both.
TEST(RealCorpus, LogShapesOfEveryCaptureGiveItsRecords) {
  if (!fs::is_directory(kCorpus)) {
    GTEST_SKIP() << "no corpus at " << kCorpus;
  }
  const struct {
    const char* what;
    std::string (*edit)(std::string);
  } shapes[] = {
      {"indentation stripped",
       [](std::string line) {
         return line.erase(0, line.find_first_not_of(" \t") == std::string::npos
                                  ? line.size()
                                  : line.find_first_not_of(" \t"));
       }},
      {"trailing blanks", [](std::string line) { return line + "   "; }},
      {"both (a terminal's selection pasted into a ticket)",
       [](std::string line) {
         const std::size_t text = line.find_first_not_of(" \t");
         return line.erase(0, text == std::string::npos ? line.size() : text) + "  ";
       }},
  };
  std::size_t captures = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(kCorpus)) {
    const std::string name = entry.path().filename().string();
    if (!name.ends_with(".txt")) {
      continue;
    }
    SCOPED_TRACE(name);
    const std::string bytes = testing::ReadFile(entry.path().string());
    const files::CaptureText text(bytes);
    const std::string capture(text.text());
    const std::optional<Platform> platform = tables::DetectPlatform(capture);
    ASSERT_TRUE(platform.has_value());
    const auto [clean, notUnderstood] = ReadAs(*platform, capture);
    // Lines no router prints, sanitised by hand: a mask "255.255.255.64", addresses
    // "10.18.80..224".
    const std::size_t noise = name == "ntc_asa_static_names.txt"              ? 1
                              : name == "ansnet_iosxe_03.14.00.S_vrf_all.txt" ? 16
                                                                              : 0;
    EXPECT_EQ(notUnderstood, noise);
    for (const auto& shape : shapes) {
      SCOPED_TRACE(shape.what);
      const std::string twin = EachLine(capture, shape.edit);
      const auto [read, twinNotUnderstood] = ReadAs(*platform, twin);
      EXPECT_EQ(read, clean);
      EXPECT_EQ(twinNotUnderstood, notUnderstood);
    }
    ++captures;
  }
  EXPECT_GT(captures, 30u);
}

}  // namespace
}  // namespace kestrelon
