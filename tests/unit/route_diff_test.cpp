// The route diff on small IOS captures: each kind of change, every field a change can name and
// its --ignore, next hops as a set, VRFs on one side only, IPv4 and IPv6 in numeric order, the
// summary's counts, the refusals; and the report writers' shapes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "files/capture_text.h"
#include "files/file_error.h"
#include "tables/address_text.h"
#include "tables/diff_csv_writer.h"
#include "tables/diff_json_writer.h"
#include "tables/json_writer.h"
#include "tables/platform_detect.h"
#include "tables/route_diff.h"
#include "tables/route_table.h"
#include "test_files.h"

namespace kestrelon::tables {
namespace {

using Lines = std::vector<std::string>;

// Changes as "change vrf afi prefix [fields]", in the order reported.
class Recorder : public RouteDiffSink {
 public:
  void Begin(const DiffSummary& s) override { summary = s; }
  void Change(const RouteChangeEvent& change) override {
    std::string line =
        std::string(RouteChangeName(change.change)) + " " + std::string(change.route().vrf) + " " +
        std::string(AfiName(change.route().afi)) + " " + std::string(change.route().prefix);
    for (const RouteField field : change.fields.List()) {
      line += " " + std::string(RouteFieldName(field));
    }
    changes.push_back(line);
  }
  void End() override { ended = true; }

  DiffSummary summary;
  std::vector<std::string> changes;
  bool ended = false;
};

std::string Join(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line + "\n";
  }
  return text;
}

// An IOS table: a classful header, two equal-cost OSPF paths, BGP, static.
const Lines kBase = {
    "Codes: L - local, C - connected, S - static, B - BGP, O - OSPF",
    "Gateway of last resort is not set",
    "",
    "      10.0.0.0/8 is variably subnetted, 3 subnets, 2 masks",
    "O        10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02, Ethernet0",
    "                     [110/20] via 10.2.2.3, 00:01:02, Ethernet1",
    "B        10.2.0.0/16 [20/0] via 192.0.2.1, 1d02h",
    "S        10.10.0.0/16 [1/0] via 192.0.2.9",
};

// kBase with `count` lines from `at` replaced by `by` (none removes them).
Lines Edit(std::size_t at, const Lines& by, std::size_t count = 1) {
  const auto from = kBase.begin() + static_cast<std::ptrdiff_t>(at);
  Lines lines(kBase.begin(), from);
  lines.insert(lines.end(), by.begin(), by.end());
  lines.insert(lines.end(), from + static_cast<std::ptrdiff_t>(count), kBase.end());
  return lines;
}

Recorder Diff(const Lines& before, const Lines& after, DiffOptions options = {}) {
  const std::string a = Join(before);
  const std::string b = Join(after);
  Recorder recorder;
  const std::size_t count = DiffRouteCaptures({a, "before.log", "before.log"},
                                              {b, "after.log", "after.log"}, options, recorder);
  EXPECT_EQ(count, recorder.changes.size());
  EXPECT_TRUE(recorder.ended);
  return recorder;
}

TEST(RouteDiff, EachKindOfChange) {
  struct Case {
    const char* what;
    Lines after;
    std::vector<std::string> changes;
  };
  const Case cases[] = {
      {"nothing", kBase, {}},
      {"removed", Edit(7, {}), {"removed default ipv4 10.10.0.0/16"}},
      {"added",
       Edit(7, {kBase[7], "S        10.20.0.0/16 [1/0] via 192.0.2.9"}),
       {"added default ipv4 10.20.0.0/16"}},
      {"changed",
       Edit(6, {"B        10.2.0.0/16 [20/7] via 192.0.2.5, 1d02h"}),
       {"changed default ipv4 10.2.0.0/16 metric next_hops"}},
      {"equal-cost paths in the other order are no change",
       Edit(4,
            {"O        10.1.1.0/24 [110/20] via 10.2.2.3, 00:01:02, Ethernet1",
             "                     [110/20] via 10.2.2.2, 00:01:02, Ethernet0"},
            2),
       {}},
      {"the same addresses and interfaces, paired otherwise",
       Edit(4,
            {"O        10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02, Ethernet1",
             "                     [110/20] via 10.2.2.3, 00:01:02, Ethernet0"},
            2),
       {"changed default ipv4 10.1.1.0/24 interface"}},
      {"a path fewer", Edit(5, {}), {"changed default ipv4 10.1.1.0/24 next_hops interface"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Diff(kBase, c.after).changes, c.changes) << c.what;
    if (c.changes.empty()) {
      EXPECT_TRUE(Diff(c.after, kBase).changes.empty()) << c.what << ", the other way";
    }
  }
}

TEST(RouteDiff, EveryFieldIsNamedUnlessIgnored) {
  struct Case {
    RouteField field;
    std::size_t at;
    std::string line;
  };
  const Case cases[] = {
      {RouteField::kProtocol, 6, "O        10.2.0.0/16 [20/0] via 192.0.2.1, 1d02h"},
      {RouteField::kDistance, 6, "B        10.2.0.0/16 [200/0] via 192.0.2.1, 1d02h"},
      {RouteField::kMetric, 6, "B        10.2.0.0/16 [20/5] via 192.0.2.1, 1d02h"},
      {RouteField::kNextHops, 6, "B        10.2.0.0/16 [20/0] via 192.0.2.2, 1d02h"},
      {RouteField::kInterface, 4,
       "O        10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02, Ethernet9"},
      {RouteField::kFlags, 6, "B*       10.2.0.0/16 [20/0] via 192.0.2.1, 1d02h"},
      {RouteField::kUptime, 6, "B        10.2.0.0/16 [20/0] via 192.0.2.1, 1d03h"},
  };
  for (const Case& c : cases) {
    const Lines after = Edit(c.at, {c.line});
    const std::string name(RouteFieldName(c.field));
    const std::string prefix = c.at == 4 ? "10.1.1.0/24" : "10.2.0.0/16";
    const std::vector<std::string> named = {"changed default ipv4 " + prefix + " " + name};
    DiffOptions nothingIgnored;
    nothingIgnored.ignored = {};
    EXPECT_EQ(Diff(kBase, after, nothingIgnored).changes, named) << name;
    DiffOptions thisIgnored;
    thisIgnored.ignored = {c.field};
    EXPECT_TRUE(Diff(kBase, after, thisIgnored).changes.empty()) << name;
    // By default only the uptime is ignored.
    EXPECT_EQ(Diff(kBase, after).changes.empty(), c.field == RouteField::kUptime) << name;
  }
}

TEST(RouteDiff, VrfsOnOneSideAndTheVrfsAskedFor) {
  const Lines before =
      Edit(7, {kBase[7], "Routing Table: blue", "S*    0.0.0.0/0 [1/0] via 10.9.9.9",
               "Routing Table: red", "C     10.7.0.0/16 is directly connected, Vlan7"});
  const Lines after =
      Edit(7, {kBase[7], "Routing Table: red", "C     10.7.0.0/16 is directly connected, Vlan8",
               "Routing Table: green", "S*    0.0.0.0/0 [1/0] via 10.9.9.9"});
  const Recorder all = Diff(before, after);
  EXPECT_EQ(all.changes,
            (std::vector<std::string>{"removed blue ipv4 0.0.0.0/0", "added green ipv4 0.0.0.0/0",
                                      "changed red ipv4 10.7.0.0/16 interface"}));
  ASSERT_EQ(all.summary.vrfs.size(), 4u);
  EXPECT_EQ(all.summary.vrfs[0].first, "default");  // first, then by name
  EXPECT_EQ(all.summary.vrfs[3].first, "red");

  DiffOptions only;
  only.vrfs = {"red", "blue"};
  const Recorder some = Diff(before, after, only);
  EXPECT_EQ(some.changes, (std::vector<std::string>{"removed blue ipv4 0.0.0.0/0",
                                                    "changed red ipv4 10.7.0.0/16 interface"}));
  EXPECT_EQ(some.summary.total.before, 2u);
  EXPECT_EQ(some.summary.total.after, 1u);
}

TEST(RouteDiff, Ipv4ThenIpv6InNumericOrder) {
  const Lines ipv6 = {
      "IPv6 Routing Table - default - 3 entries",
      "C   2001:DB8:1::/64 [0/0]",
      "     via GigabitEthernet0/0, directly connected",
      "S   2001:DB8:10::/48 [1/0]",
      "     via 2001:DB8:1::2",
  };
  Lines before = kBase;
  before.insert(before.end(), ipv6.begin(), ipv6.end());
  Lines after = Edit(6, {});  // 10.2.0.0/16 removed
  after.insert(
      after.end(),
      {"S        10.3.0.0/16 [1/0] via 192.0.2.9", "IPv6 Routing Table - default - 3 entries",
       "C   2001:db8:1::/64 [0/0]",  // the same prefix, spelled otherwise
       "     via GigabitEthernet0/0, directly connected", "S   2001:DB8:9::/48 [1/0]",
       "     via 2001:DB8:1::3", "S   2001:DB8:10::/48 [1/0]", "     via 2001:DB8:1::3"});
  EXPECT_EQ(Diff(before, after).changes,
            (std::vector<std::string>{"removed default ipv4 10.2.0.0/16",
                                      "added default ipv4 10.3.0.0/16",
                                      "added default ipv6 2001:DB8:9::/48",
                                      "changed default ipv6 2001:DB8:10::/48 next_hops"}));
}

// A table large enough to be paired in two halves at once, with a route printed twice where the
// halves meet: the same changes as one pass would find.
TEST(RouteDiff, LargeTablesPairInTwoHalves) {
  const auto route = [](int i, const char* via = "192.0.2.1", int metric = 0) {
    return "S        10." + std::to_string(i >> 16 & 255) + "." + std::to_string(i >> 8 & 255) +
           "." + std::to_string(i & 255) + "/32 [1/" + std::to_string(metric) + "] via " + via;
  };
  const auto prefix = [&](int i) {
    const std::string line = route(i);
    return line.substr(9, line.find(' ', 9) - 9);
  };
  constexpr int kRoutes = 120000;
  constexpr int kTwice = kRoutes / 2 - 1;  // printed twice: the middle falls on its second copy
  Lines before = {"Gateway of last resort is not set"};
  Lines after = before;
  for (int i = 0; i < kRoutes; ++i) {
    before.push_back(route(i));
    if (i != kTwice - 1 && i != kRoutes - 1) {
      after.push_back(route(i, "192.0.2.1", i == kTwice + 1 || i == 100 ? 5 : 0));
    }
    if (i == kTwice) {
      before.push_back(route(i, "192.0.2.2"));
      after.push_back(route(i, "192.0.2.3"));
    }
  }
  after.push_back("S        11.0.0.0/8 [1/0] via 192.0.2.1");
  EXPECT_EQ(Diff(before, after).changes,
            (std::vector<std::string>{"changed default ipv4 " + prefix(100) + " metric",
                                      "removed default ipv4 " + prefix(kTwice - 1),
                                      "changed default ipv4 " + prefix(kTwice) + " next_hops",
                                      "changed default ipv4 " + prefix(kTwice + 1) + " metric",
                                      "removed default ipv4 " + prefix(kRoutes - 1),
                                      "added default ipv4 11.0.0.0/8"}));
}

TEST(RouteDiff, SummaryCountsPerVrfAndProtocol) {
  // 10.2.0.0/16 turns from BGP to OSPF: a change under both protocols.
  const Lines after = Edit(6, {"O        10.2.0.0/16 [110/2] via 10.2.2.2, 00:00:09, Ethernet0",
                               "O        10.4.0.0/16 [110/2] via 10.2.2.2, 00:00:09, Ethernet0"});
  const DiffSummary s = Diff(kBase, after).summary;
  EXPECT_EQ(s.total.before, 3u);
  EXPECT_EQ(s.total.after, 4u);
  EXPECT_EQ(s.total.changed, 1u);
  EXPECT_EQ(s.total.added, 1u);
  ASSERT_EQ(s.protocols.size(), 3u);
  const auto counts = [&](std::size_t i) {
    const DiffCounts& c = s.protocols[i].second;
    return s.protocols[i].first + " " + std::to_string(c.before) + " " + std::to_string(c.after) +
           " " + std::to_string(c.removed) + " " + std::to_string(c.added) + " " +
           std::to_string(c.changed);
  };
  EXPECT_EQ(counts(0), "B 1 0 0 0 1");
  EXPECT_EQ(counts(1), "O 1 3 0 1 1");
  EXPECT_EQ(counts(2), "S 1 1 0 0 0");
}

TEST(RouteDiff, RefusesWhatCannotBeDiffed) {
  struct Case {
    const char* what;
    std::string before;
    std::string after;
    std::vector<std::string> vrfs;
    std::string named;
  };
  const Case cases[] = {
      {"an empty table", "Gateway of last resort is not set\n", Join(kBase), {}, "before.log"},
      {"a capture of no known platform",
       Join(kBase),
       "dear colleague,\nall is well.\n",
       {},
       "after.log"},
      {"an empty file", Join(kBase), "", {}, "after.log"},
      {"a VRF neither capture has", Join(kBase), Join(kBase), {"default", "grey"}, "before.log"},
  };
  for (const Case& c : cases) {
    Recorder recorder;
    DiffOptions options;
    options.vrfs = c.vrfs;
    try {
      DiffRouteCaptures({c.before, "b", "before.log"}, {c.after, "a", "after.log"}, options,
                        recorder);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const FileError& error) {
      EXPECT_EQ(error.path(), c.named) << c.what;
    }
    EXPECT_TRUE(recorder.changes.empty()) << c.what;
  }
}

// Where text holds word as a whole word (no address character either side of it).
std::vector<std::size_t> WordsAt(std::string_view text, std::string_view word) {
  const auto part = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == ':';
  };
  std::vector<std::size_t> at;
  for (std::size_t i = text.find(word); i != std::string_view::npos; i = text.find(word, i + 1)) {
    const std::size_t end = i + word.size();
    if ((i == 0 || !part(text[i - 1])) && (end == text.size() || !part(text[end]))) {
      at.push_back(i);
    }
  }
  return at;
}

// Each real capture beside the checkout diffed against itself (no change) and against a copy
// in which one route's address is another (that route removed and added, nothing else).
TEST(RouteDiff, RealCapturesAgainstThemselvesAndAnEditedCopy) {
  const std::filesystem::path corpus = KESTRELON_REAL_CORPUS;
  if (!std::filesystem::is_directory(corpus)) {
    GTEST_SKIP() << "no corpus at " << corpus;
  }
  std::size_t edited = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    if (entry.path().extension() != ".txt") {
      continue;
    }
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    const std::string bytes = testing::ReadFile(entry.path().string());
    const files::CaptureText capture(bytes);
    const std::string text(capture.text());
    Recorder same;
    EXPECT_EQ(DiffRouteCaptures({text, name, name}, {text, name, name}, {}, same), 0u);
    EXPECT_GT(same.summary.total.before, 0u);

    // The first route whose address the capture prints once, and nowhere else.
    RouteTable table;
    MakeReader(*DetectPlatform(text))->Read(text, table);
    std::string route;
    std::string vrf;
    std::size_t at = std::string::npos;
    table.ForEach([&](const RouteView& r) {
      const std::string_view address = r.prefix.substr(0, r.prefix.rfind('/'));
      if (at == std::string::npos && ReadAddressValue(address) &&
          WordsAt(text, address).size() == 1) {
        at = WordsAt(text, address)[0];
        route = std::string(AfiName(r.afi)) + " " + std::string(r.prefix);
        vrf = r.vrf;
      }
    });
    if (at == std::string::npos) {
      continue;
    }
    const std::string address = route.substr(5, route.rfind('/') - 5);
    const std::string other = route.starts_with("ipv4") ? "198.18.77.0" : "2001:db8:77::";
    std::string copy = text;
    copy.replace(at, address.size(), other);
    DiffOptions nothingIgnored;
    nothingIgnored.ignored = {};
    Recorder recorder;
    DiffRouteCaptures({text, "before", "before"}, {copy, "after", "after"}, nothingIgnored,
                      recorder);
    std::vector<std::string> expected = {
        "removed " + vrf + " " + route,
        "added " + vrf + " " + route.substr(0, 5) + other + route.substr(route.rfind('/'))};
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> changes = recorder.changes;
    std::sort(changes.begin(), changes.end());
    EXPECT_EQ(changes, expected);
    ++edited;
  }
  EXPECT_GT(edited, 20u);
}

TEST(RouteDiffWriters, JsonHoldsTheSummaryAndRecordsAsRoutesWritesThem) {
  const std::string before = Join(kBase);
  const std::string after = Join(Edit(6, {"B        10.2.0.0/16 [20/5] via 192.0.2.1, 1d03h"}));
  StringByteSink out;
  JsonDiffWriter writer(out);
  DiffRouteCaptures({before, "b \"1\".log", "b"}, {after, "a.log", "a"}, {}, writer);
  const nlohmann::json doc = nlohmann::json::parse(out.text);
  EXPECT_EQ(doc["before"], "b \"1\".log");
  EXPECT_EQ(doc["summary"]["ignored"], nlohmann::json::array({"uptime"}));
  EXPECT_EQ(doc["summary"]["changed"], 1);
  EXPECT_EQ(doc["summary"]["vrfs"][0]["routes_after"], 3);
  ASSERT_EQ(doc["changes"].size(), 1u);
  const nlohmann::json& change = doc["changes"][0];
  EXPECT_EQ(change["change"], "changed");
  EXPECT_EQ(change["fields"], nlohmann::json::array({"metric"}));

  // The record after is the one routes writes for the same capture.
  StringByteSink routes;
  JsonRouteWriter routesWriter(routes, false);
  routesWriter.BeginCapture("a.log", Platform::kIos);
  MakeReader(Platform::kIos)->Read(after, routesWriter);
  routesWriter.EndCapture();
  routesWriter.Finish();
  const std::size_t start =
      routes.text.find("{\"vrf\":\"default\",\"afi\":\"ipv4\",\"protocol\":\"B\"");
  ASSERT_NE(start, std::string::npos);
  const std::string record = routes.text.substr(start, routes.text.find("},", start) + 1 - start);
  EXPECT_NE(out.text.find("\"after\":" + record + "}"), std::string::npos) << record;
}

TEST(RouteDiffWriters, CsvHasOneRowPerChange) {
  StringByteSink out;
  CsvDiffWriter writer(out);
  DiffRouteCaptures({Join(kBase), "b", "b"},
                    {Join(Edit(6, {"B*       10.2.0.0/16 [20/0] via 192.0.2.1, 1d02h"})), "a", "a"},
                    {}, writer);
  EXPECT_EQ(out.text,
            "\"change\",\"vrf\",\"afi\",\"prefix\",\"fields\",\"before_protocol\","
            "\"before_flags\",\"before_distance\",\"before_metric\",\"before_next_hops\","
            "\"before_uptime\",\"after_protocol\",\"after_flags\",\"after_distance\","
            "\"after_metric\",\"after_next_hops\",\"after_uptime\"\r\n"
            "\"changed\",\"default\",\"ipv4\",\"10.2.0.0/16\",\"flags\",\"B\",\"\",20,0,"
            "\"192.0.2.1\",\"1d02h\",\"B\",\"*\",20,0,\"192.0.2.1\",\"1d02h\"\r\n");
}

}  // namespace
}  // namespace kestrelon::tables
