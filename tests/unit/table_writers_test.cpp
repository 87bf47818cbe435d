// The JSON, CSV and text writers of the route-table model, on records with every kind of
// field: absent values, several paths, texts that need quoting, bytes that are not UTF-8.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tables/csv_writer.h"
#include "tables/json_output.h"
#include "tables/json_writer.h"
#include "tables/text_writer.h"

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
      "\"metric\",\"next_hop_address\",\"next_hop_interface\",\"next_hop_vrf\",\"uptime\"\r\n"
      "\"r1.log\",\"ios\",\"a,\"\"b\"\"\",\"ipv4\",\"O E2\",\"*\",\"10.1.0.0/16\",110,"
      "18446744073709551615,\"10.1.1.2\",\"Gi0/0\",,\"1d02h\"\r\n"
      "\"r1.log\",\"ios\",\"a,\"\"b\"\"\",\"ipv4\",\"O E2\",\"*\",\"10.1.0.0/16\",110,"
      "18446744073709551615,\"10.1.1.3\",,\"red\",\"1d02h\"\r\n"
      "\"r1.log\",\"ios\",\"default\",\"ipv6\",\"L\xff\",\"\",\"2001:db8::/64\",,,,,,\r\n";
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

}  // namespace
}  // namespace kestrelon::tables
