// The JSON, CSV and text writers of the route-table model, on records with every kind of
// field: absent values, several paths, texts that need quoting, bytes that are not UTF-8.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tables/csv_writer.h"
#include "tables/diff_csv_writer.h"
#include "tables/diff_text_writer.h"
#include "tables/json_output.h"
#include "tables/json_writer.h"
#include "tables/text_writer.h"
#include "tables/visible_text.h"

namespace kestrelon::tables {
namespace {

// Two routes: one with two paths and every field, one with nothing but its prefix.
template <typename Writer>
void PutRoutes(Writer& writer) {
  const NextHopView hops[] = {{"10.1.1.2", "Gi0/0", std::nullopt},
                              {"10.1.1.3", std::nullopt, "red"}};
  RouteView full;
  full.vrf = "a,\"b\"";
  full.protocol = "O E2";
  full.flags = "*";
  full.prefix = "10.1.0.0/16";
  full.distance = 110;
  full.metric = 18446744073709551615ull;
  full.nextHops = hops;
  full.uptime = "1d02h";
  writer.Put(full);
  RouteView bare;
  bare.afi = Afi::kIpv6;
  bare.protocol = "L\xff";  // not UTF-8
  bare.prefix = "2001:db8::/64";
  writer.Put(bare);
}

TEST(TableWriters, JsonHoldsEveryFieldAndNullForAbsentOnes) {
  StringByteSink out;
  JsonRouteWriter writer(out, false);
  writer.BeginCapture("r1 \"core\".log", Platform::kIosXr);
  PutRoutes(writer);
  writer.EndCapture();
  writer.Finish();
  const nlohmann::json doc = nlohmann::json::parse(out.text);
  EXPECT_EQ(doc["source"], "r1 \"core\".log");
  EXPECT_EQ(doc["platform"], "iosxr");
  ASSERT_EQ(doc["routes"].size(), 2u);
  const nlohmann::json& full = doc["routes"][0];
  EXPECT_EQ(full["vrf"], "a,\"b\"");
  EXPECT_EQ(full["metric"].get<std::uint64_t>(), 18446744073709551615ull);
  EXPECT_EQ(full["next_hops"][1],
            (nlohmann::json{{"address", "10.1.1.3"}, {"interface", nullptr}, {"vrf", "red"}}));
  const nlohmann::json& bare = doc["routes"][1];
  EXPECT_EQ(bare["afi"], "ipv6");
  EXPECT_EQ(bare["protocol"], "L\xEF\xBF\xBD");  // the byte became U+FFFD: JSON is UTF-8
  EXPECT_TRUE(bare["distance"].is_null() && bare["metric"].is_null() && bare["uptime"].is_null());
  EXPECT_TRUE(bare["next_hops"].empty());
  // One route a line, lines ending CR LF.
  EXPECT_EQ(std::count(out.text.begin(), out.text.end(), '\n'), 4);
}

// Texts of every length up to past sixteen bytes, with a byte that needs escaping (or that is
// not UTF-8) at each place: the JSON reads back as the text, the bad byte as U+FFFD.
TEST(TableWriters, JsonTextsReadBackWhateverTheirLengthAndWhereTheEscapeIs) {
  for (std::size_t size = 0; size <= 34; ++size) {
    for (const char special : {'"', '\\', '\n', '\x01', '\x7f', '\xff'}) {
      for (std::size_t at = 0; at <= size; ++at) {
        std::string text(size, 'a');
        if (at < size) {
          text[at] = special;
        }
        StringByteSink out;
        JsonOutput json(out);
        json.Text(text);
        json.Flush();
        std::string expected = text;
        if (at < size && special == '\xff') {
          expected.replace(at, 1, "\xEF\xBF\xBD");
        }
        EXPECT_EQ(nlohmann::json::parse(out.text), expected) << size << " " << at;
      }
    }
  }
}

TEST(TableWriters, CsvHasOneRowPerNextHopQuotedByRfc4180) {
  StringByteSink out;
  CsvRouteWriter writer(out);
  writer.BeginCapture("r1.log", Platform::kIos);
  PutRoutes(writer);
  writer.Finish();
  const std::string expected =
      "\"source\",\"platform\",\"vrf\",\"afi\",\"protocol\",\"flags\",\"prefix\",\"distance\","
      "\"metric\",\"next_hop_address\",\"next_hop_interface\",\"next_hop_vrf\",\"uptime\","
      "\"route_source\",\"selected\"\r\n"
      "\"r1.log\",\"ios\",\"a,\"\"b\"\"\",\"ipv4\",\"O E2\",\"*\",\"10.1.0.0/16\",110,"
      "18446744073709551615,\"10.1.1.2\",\"Gi0/0\",,\"1d02h\",\"other\",\r\n"
      "\"r1.log\",\"ios\",\"a,\"\"b\"\"\",\"ipv4\",\"O E2\",\"*\",\"10.1.0.0/16\",110,"
      "18446744073709551615,\"10.1.1.3\",,\"red\",\"1d02h\",\"other\",\r\n"
      "\"r1.log\",\"ios\",\"default\",\"ipv6\",\"L\xff\",\"\",\"2001:db8::/64\",,,,,,,\"other\",\r\n";
  EXPECT_EQ(out.text, expected);
}

TEST(TableWriters, TextLinesUpItsColumns) {
  StringByteSink out;
  TextRouteWriter writer(out, false);
  writer.BeginCapture("r1.log", Platform::kIos);
  PutRoutes(writer);
  writer.EndCapture();
  EXPECT_EQ(out.text,
            "a,\"b\"    O E2  *  10.1.0.0/16    [110/18446744073709551615]  10.1.1.2 Gi0/0; "
            "10.1.1.3 (red)  1d02h\r\n"
            "default  L\xff       2001:db8::/64\r\n");
}

TEST(TableWriters, ControlBytesShowAndFormulasStayText) {
  struct Case {
    std::string_view text;
    std::string_view visible;
    std::string_view csv;
  };
  const Case cases[] = {
      {"Gi0/0", "Gi0/0", "Gi0/0"},
      {"\x1b[2J", "\\x1b[2J", "\\x1b[2J"},
      {"a\tb\x7f", "a\\x09b\\x7f", "a\\x09b\\x7f"},
      {"\xc2\x9b"
       "31m",
       "\\xc2\\x9b"
       "31m",
       "\\xc2\\x9b"
       "31m"},                                                                   // C1 CSI in UTF-8
      {"caf\xc3\xa9 \xc2\xa0", "caf\xc3\xa9 \xc2\xa0", "caf\xc3\xa9 \xc2\xa0"},  // not controls
      {"=HYPERLINK(\"x\")", "=HYPERLINK(\"x\")", "'=HYPERLINK(\"x\")"},
      {"+1", "+1", "'+1"},
      {"-2+3", "-2+3", "'-2+3"},
      {"@SUM(A1)", "@SUM(A1)", "'@SUM(A1)"},
      {"\tx", "\\x09x", "'\\x09x"},
      {"\r=1", "\\x0d=1", "'\\x0d=1"},
      {"a=b", "a=b", "a=b"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VisibleText(c.text), c.visible) << c.text;
    EXPECT_EQ(CsvCellText(c.text), c.csv) << c.text;
    EXPECT_EQ(IsPlainCsvCell(c.text), c.text == c.csv) << c.text;
  }
}

// Every writer but JSON (which escapes by itself) on a route whose texts attack the reader.
TEST(TableWriters, NoWriterPassesOnAnEscapeOrAFormula) {
  const NextHopView hops[] = {{"10.1.1.2", "\x1b]0;owned\x07Gi0/0", std::nullopt}};
  RouteView route;
  route.vrf = "=HYPERLINK(\"http://x\")";
  route.protocol = "@O";
  route.prefix = "10.1.0.0/16";
  route.distance = 110;
  route.metric = 20;
  route.nextHops = hops;
  const auto route_csv = [&] {
    StringByteSink out;
    CsvRouteWriter writer(out);
    writer.BeginCapture("-r1.log", Platform::kIos);
    writer.Put(route);
    writer.Finish();
    return out.text;
  };
  const auto route_text = [&] {
    StringByteSink out;
    TextRouteWriter writer(out, true);
    writer.BeginCapture("r1\x1b[1A.log", Platform::kIos);
    writer.Put(route);
    writer.EndCapture();
    return out.text;
  };
  const auto diff = [&](auto writerTag) {
    StringByteSink out;
    typename decltype(writerTag)::type writer(out);
    DiffSummary summary;
    summary.beforeSource = "a\x1b[1A";
    summary.vrfs = {{std::string(route.vrf), DiffCounts{1, 0, 1, 0, 0}}};
    summary.protocols = {{std::string(route.protocol), DiffCounts{1, 0, 1, 0, 0}}};
    writer.Begin(summary);
    RouteChangeEvent event;
    event.change = RouteChange::kRemoved;
    event.before = &route;
    writer.Change(event);
    writer.End();
    return out.text;
  };
  const std::string outputs[] = {route_csv(), route_text(),
                                 diff(std::type_identity<CsvDiffWriter>()),
                                 diff(std::type_identity<TextDiffWriter>())};
  for (std::size_t i = 0; i < std::size(outputs); ++i) {
    const std::string& text = outputs[i];
    EXPECT_EQ(text.find('\x1b'), std::string::npos) << i << ": " << text;
    EXPECT_EQ(text.find('\x07'), std::string::npos) << i << ": " << text;
    EXPECT_NE(text.find("\\x1b]0;owned\\x07Gi0/0"), std::string::npos) << i << ": " << text;
    if (i == 0 || i == 2) {
      // No cell starts with a formula character; the guarded ones read back as text.
      for (const std::string_view bad : {",\"=", ",\"@", ",\"-", "\n\"=", "\n\"@", "\n\"-"}) {
        EXPECT_EQ(text.find(bad), std::string::npos) << i << ": " << bad << " in " << text;
      }
      EXPECT_NE(text.find("\"'=HYPERLINK(\"\"http://x\"\")\""), std::string::npos) << text;
      EXPECT_NE(text.find(",110,20,"), std::string::npos) << text;  // numbers stay numbers
    }
  }
}

}  // namespace
}  // namespace kestrelon::tables
