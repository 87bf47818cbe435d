// The route diff on small IOS captures: each kind of change, every field a change can name and
// its --ignore, next hops as a set, IPv4 and IPv6 in numeric order, prefix keys, large tables
// paired in halves, real captures. (VRFs on one side, --vrf, the summary's counts, the refusals
// and the report writers' bytes: e2e/diff_test.sh.)
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "files/capture_text.h"
#include "tables/address_text.h"
#include "tables/diff_side.h"
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

DiffOptions Options(RouteFields ignored) {
  return {std::nullopt, ignored, {}};
}

Recorder Diff(const Lines& before, const Lines& after, DiffOptions options = {}) {
  const std::string a = testing::JoinLines(before, "\n");
  const std::string b = testing::JoinLines(after, "\n");
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
      {"interfaces abbreviated by another release",
       Edit(4,
            {"O        10.1.1.0/24 [110/20] via 10.2.2.2, 00:01:02, Et0",
             "                     [110/20] via 10.2.2.3, 00:01:02, ethernet1"},
            2),
       {}},
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
    EXPECT_EQ(Diff(kBase, after, Options({})).changes, named) << name;
    EXPECT_TRUE(Diff(kBase, after, Options({c.field})).changes.empty()) << name;
    // By default only the uptime is ignored.
    EXPECT_EQ(Diff(kBase, after).changes.empty(), c.field == RouteField::kUptime) << name;
  }
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

// IPv6 next hops compare as addresses, whatever the case, the zeros and the "::" printed; the
// records then carry the RFC 5952 form.
TEST(RouteDiff, Ipv6NextHopsCompareAsAddresses) {
  struct Case {
    std::string_view before, after;
    bool changed;
  };
  const Case cases[] = {
      {"2001:DB8:1::1", "2001:db8:1::1", false},
      {"2001:db8:1::1", "2001:db8:1:0::1", false},
      {"2001:0DB8:0001:0000:0000:0000:0000:0001", "2001:db8:1::1", false},
      {"2001:db8:1::1", "2001:db8:1::2", true},
  };
  for (const Case& c : cases) {
    const auto table = [](std::string_view hop) {
      return Lines{"IPv6 Routing Table - default - 1 entries", "S   2001:DB8:10::/48 [1/0]",
                   "     via " + std::string(hop)};
    };
    EXPECT_EQ(Diff(table(c.before), table(c.after)).changes.empty(), !c.changed)
        << c.before << " / " << c.after;
  }
  const std::pair<std::string_view, std::optional<std::string>> canonical[] = {
      {"2001:DB8:1:0::1", "2001:db8:1::1"},
      {"2001:db8:0:0:1:0:0:1", "2001:db8::1:0:0:1"},     // the first of two equal runs
      {"2001:DB8:0:1:1:1:1:1", "2001:db8:0:1:1:1:1:1"},  // one zero group stays
      {"0:0:0:0:0:0:0:0", "::"},
      {"::FFFF:10.1.1.1", "::ffff:10.1.1.1"},
      {"::ffff:a01:101", "::ffff:10.1.1.1"},
      {"2001:db8::1", std::nullopt},  // already canonical
      {"10.1.1.1", std::nullopt},
      {"Null0", std::nullopt},
  };
  for (const auto& [text, expected] : canonical) {
    EXPECT_EQ(CanonicalIpv6(text), expected) << text;
  }
}

// A route that turns from BGP to OSPF is one change, counted under both protocols.
TEST(RouteDiff, AProtocolChangeCountsUnderBothProtocols) {
  const Lines after = Edit(6, {"O        10.2.0.0/16 [110/2] via 10.2.2.2, 00:00:09, Ethernet0"});
  const DiffSummary s = Diff(kBase, after).summary;
  EXPECT_EQ(s.total.changed, 1u);
  ASSERT_EQ(s.protocols.size(), 3u);
  EXPECT_EQ(s.protocols[0].first + std::to_string(s.protocols[0].second.changed) +
                s.protocols[1].first + std::to_string(s.protocols[1].second.changed),
            "B1O1");
}

// kBase's routes as other platforms print them: each diffs against kBase as equal (protocols by
// source; distances, flags and interfaces are each platform's own; the Linux kernel's metric is
// a priority, no cost), and one changed route there is the one change.
struct Twin {
  const char* platform;
  Lines capture;
  std::size_t changedLine;  // the line of 10.1.1.0/24's first path
  std::string from, to;     // a field as printed there, then another
  std::string field;        // the change it makes
};

const Twin kTwins[] = {
    {"eos",
     {"VRF: default",
      "Codes: C - connected, S - static, K - kernel, O - OSPF, B I - iBGP, B E - eBGP", "",
      " O        10.1.1.0/24 [110/20] via 10.2.2.2, Ethernet0",
      "                              via 10.2.2.3, Ethernet1",
      " B E      10.2.0.0/16 [200/0] via 192.0.2.1, Ethernet5",
      " S        10.10.0.0/16 [1/0] via 192.0.2.9, Ethernet9"},
     3,
     "[110/20]",
     "[110/30]",
     "metric"},
    {"junos",
     {"inet.0: 3 destinations, 4 routes (3 active, 0 holddown, 0 hidden)",
      "+ = Active Route, - = Last Active, * = Both", "",
      "10.1.1.0/24        *[OSPF/10] 00:01:02, metric 20",
      "                    > to 10.2.2.2 via ge-0/0/0.0",
      "                      to 10.2.2.3 via ge-0/0/1.0",
      "10.2.0.0/16        *[BGP/170] 1d 02:00:00, localpref 100",
      "                      AS path: 65001 I, validation-state: unverified",
      "                    > to 192.0.2.1 via ge-0/0/5.0",
      "10.10.0.0/16       *[Static/5] 1w0d 00:00:00",
      "                    > to 192.0.2.9 via ge-0/0/9.0",
      "                    [BGP/170] 1d 02:00:00, localpref 100",  // not in use: left out
      "                      AS path: 65001 I",
      "                    > to 192.0.2.7 via ge-0/0/5.0"},
     3,
     "metric 20",
     "metric 30",
     "metric"},
    {"linux",
     {"10.1.1.0/24 proto ospf metric 20", "\tnexthop via 10.2.2.2 dev eth0 weight 1",
      "\tnexthop via 10.2.2.3 dev eth1 weight 1", "10.2.0.0/16 via 192.0.2.1 dev eth5 proto bgp",
      "10.10.0.0/16 via 192.0.2.9 dev eth9 proto static"},
     1,
     "via 10.2.2.2",
     "via 10.2.2.4",
     "next_hops"},
};

TEST(RouteDiff, OneTableByTwoPlatformsIsEqualButForTheRouteChanged) {
  for (const Twin& twin : kTwins) {
    SCOPED_TRACE(twin.platform);
    const Recorder same = Diff(kBase, twin.capture);
    EXPECT_EQ(PlatformName(same.summary.afterPlatform), twin.platform);
    EXPECT_TRUE(same.summary.acrossPlatforms);
    EXPECT_EQ(same.changes, std::vector<std::string>{});
    Lines changed = twin.capture;
    std::string& line = changed[twin.changedLine];
    line.replace(line.find(twin.from), twin.from.size(), twin.to);
    EXPECT_EQ(Diff(kBase, changed).changes,
              std::vector<std::string>{"changed default ipv4 10.1.1.0/24 " + twin.field});
    // The same platform on both sides compares every field as printed.
    EXPECT_FALSE(Diff(twin.capture, changed).summary.acrossPlatforms);
  }
  // Linux's metric is not compared with another platform's, and the report says it ignored it.
  Lines linux = kTwins[2].capture;
  linux[0] = "10.1.1.0/24 proto ospf metric 30";
  const Recorder across = Diff(kBase, linux);
  EXPECT_EQ(across.changes, std::vector<std::string>{});
  EXPECT_TRUE(across.summary.ignored.Has(RouteField::kMetric));
}

// The key a prefix pairs and sorts by: dotted quads and IPv6 addresses as numbers (whatever the
// spelling), anything else that is no prefix of an address as a name.
TEST(RouteDiff, PrefixKeysAreNumbersOrNames) {
  struct Case {
    const char* prefix;
    bool named;
    std::uint64_t high;
    std::uint64_t low;
    int length;
  };
  const Case cases[] = {
      {"10.1.0.0/16", false, 0, 0x0A010000, 16},
      {"255.255.255.255/32", false, 0, 0xFFFFFFFF, 32},
      {"9.0.0.0/008", false, 0, 0x09000000, 8},
      {"0.0.0.0/0", false, 0, 0, 0},
      {"255.255.255.255/128", false, 0, 0xFFFFFFFF, 128},
      {"1.1.1.1/0000000008", false, 0, 0x01010101, 8},
      {"::ffff:10.1.0.0/112", false, 0, 0x0000FFFF0A010000, 112},
      {"2001:DB8::/32", false, 0x20010DB800000000, 0, 32},
      {"256.1.0.0/16", true, 0, 0, 0},
      {"10.1.0/16", true, 0, 0, 0},
      {"10.1.0.0/129", true, 0, 0, 0},
      {"10.1.0.0/16 ", true, 0, 0, 0},
      {"10.1.0.0/", true, 0, 0, 0},
      {"10.1.0.0", true, 0, 0, 0},
      {"1000.1.0.0/16", true, 0, 0, 0},
      {"inside-net", true, 0, 0, 0},
  };
  for (const Case& c : cases) {
    PairKey key;
    ReadPrefixKey(c.prefix, key);
    EXPECT_EQ(key.named != 0, c.named) << c.prefix;
    EXPECT_EQ(key.high, c.high) << c.prefix;
    EXPECT_EQ(key.low, c.low) << c.prefix;
    EXPECT_EQ(key.length, c.length) << c.prefix;
  }
}

// A table of many batches, large enough to be paired in two halves at once, with a route printed
// twice where the halves meet, in order and out of it: the same changes as one pass would find.
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
  const std::vector<std::string> changes = {
      "changed default ipv4 " + prefix(100) + " metric",
      "removed default ipv4 " + prefix(kTwice - 1),
      "changed default ipv4 " + prefix(kTwice) + " next_hops",
      "changed default ipv4 " + prefix(kTwice + 1) + " metric",
      "removed default ipv4 " + prefix(kRoutes - 1),
      "added default ipv4 11.0.0.0/8"};
  EXPECT_EQ(Diff(before, after).changes, changes);
  // The same table printed in another order: the pairing cannot go by the order as it comes.
  Lines shuffled = after;
  std::reverse(shuffled.begin() + 1, shuffled.begin() + kRoutes / 3);  // not the route twice
  EXPECT_EQ(Diff(before, shuffled).changes, changes);
  EXPECT_EQ(Diff(shuffled, before).changes.size(), changes.size());
  // On one thread (more batches than a stream holds at once, read before the pairing starts).
  DiffOptions oneThread;
  oneThread.oneThread = true;
  EXPECT_EQ(Diff(before, after, oneThread).changes, changes);
  EXPECT_EQ(Diff(before, shuffled, oneThread).changes, changes);
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
    Recorder recorder;
    DiffRouteCaptures({text, "before", "before"}, {copy, "after", "after"}, Options({}), recorder);
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

}  // namespace
}  // namespace kestrelon::tables
