#include "routes/sort_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "files/line_cursor.h"
#include "routes/sort_options.h"
#include "routes/sorted_output.h"
#include "routes/staging.h"

namespace kestrelon::routes {
namespace {

// The record sort written as the literal bitwise partition: 31 passes over each of the four
// words, most significant bit first, every pass moving the records whose bit is clear in front
// within groups that agree on all earlier bits. Slow, and the reference for SortByKey.
struct Reference {
  std::array<std::int32_t, 4> words;
  std::int64_t line;
};

void ReferencePartition(std::vector<Reference>& r) {
  std::array<std::int32_t, 32> highMask{};
  std::array<std::int32_t, 32> bitValue{};
  highMask[1] = 0;
  bitValue[1] = 0x40000000;
  for (int n = 2; n <= 31; ++n) {
    highMask[n] = highMask[n - 1] / 2 + 1073741824;
    bitValue[n] = bitValue[n - 1] / 2;
  }
  const std::size_t n = r.size();
  for (int w = 0; w < 4; ++w) {
    for (int p = 1; p <= 31; ++p) {
      const auto sameGroup = [&](std::size_t j, std::size_t k) {
        for (int e = 0; e < w; ++e) {
          if (r[j].words[e] != r[k].words[e])
            return false;
        }
        return (r[j].words[w] & highMask[p]) == (r[k].words[w] & highMask[p]);
      };
      std::size_t k = 0;
      for (std::size_t j = 0; j < n; ++j) {
        if (!sameGroup(j, k)) {
          k = j;
        }
        if ((r[j].words[w] & bitValue[p]) == 0) {
          std::swap(r[j], r[k]);
          ++k;
        }
      }
    }
  }
}

TEST(SortKeys, BitTablesOfTheReferenceHoldTheirValues) {
  std::int32_t high = 0;
  std::int32_t bit = 0x40000000;
  for (int n = 2; n <= 31; ++n) {
    high = high / 2 + 1073741824;
    bit /= 2;
  }
  EXPECT_EQ(high, 0x7FFFFFFE);
  EXPECT_EQ(bit, 1);
}

ParsedLine RandomLine(std::mt19937& random, std::int16_t& state) {
  ParsedLine p;
  const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  if (pick(4) == 0) {
    state = static_cast<std::int16_t>(pick(2) == 0 ? 1 : 3);
    p.MaskKey = static_cast<std::int16_t>(pick(33) - 1);
    return p;
  }
  state = 2;
  // Few distinct values, so that ties and shared prefixes are common.
  const int values[] = {0, 1, 7, 8, 255, 256, 2560, 32767, 32768, 65535};
  p.DestHigh = values[pick(10)];
  p.DestLow = values[pick(10)];
  p.HopHigh = pick(3) == 0 ? 0 : values[pick(10)];
  p.HopLow = pick(3) == 0 ? 65535 : values[pick(10)];
  p.CodeKey = pick(2) == 0 ? 141037600 : (pick(2) == 0 ? 174755872 : 166208178 + pick(200));
  p.MaskKey = static_cast<std::int16_t>(pick(32));
  return p;
}

class KeyOrder : public ::testing::TestWithParam<int> {};

TEST_P(KeyOrder, RadixSortGivesTheOrderOfTheBitwisePartition) {
  const int key = GetParam();
  std::mt19937 random(1234u + static_cast<unsigned>(key));
  for (int round = 0; round < 20; ++round) {
    const std::size_t n = 1 + random() % 600;
    std::vector<Reference> reference;
    std::vector<SortRecord> records;
    for (std::size_t i = 1; i <= n; ++i) {
      std::int16_t state = 1;
      const ParsedLine p = RandomLine(random, state);
      const auto words = KeyWords(key, p, state, static_cast<std::int64_t>(i));
      for (std::int32_t w : words) {
        ASSERT_GE(w, 0);
      }
      reference.push_back({words, static_cast<std::int64_t>(i)});
      records.push_back(MakeSortRecord(key, p, state, i * 100));
    }
    ReferencePartition(reference);
    SortByKey(records);
    for (std::size_t i = 0; i < n; ++i) {
      ASSERT_EQ(records[i].lineNumber(), static_cast<std::uint64_t>(reference[i].line) * 100)
          << "key " << key << " round " << round << " index " << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllKeys, KeyOrder, ::testing::Range(0, 6));

TEST(SortKeys, MaskKeyMinusOneBorrowsFromTheFieldAbove) {
  ParsedLine none;  // a non-route line before any mask
  none.MaskKey = -1;
  const auto words = KeyWords(0, none, 3, 5);
  EXPECT_EQ(words[2], 15 * (1 << 27) - (1 << 22) + 0x3FFFFF);
}

TEST(SortKeys, ManyEqualKeysKeepTheirOrder) {
  std::vector<SortRecord> records;
  ParsedLine blank;
  for (std::uint64_t i = 0; i < 5000; ++i) {
    records.push_back(MakeSortRecord(0, blank, 3, 4999 - i));
  }
  std::reverse(records.begin(), records.end());
  std::shuffle(records.begin(), records.end(), std::mt19937(7));
  SortByKey(records);
  for (std::uint64_t i = 0; i < records.size(); ++i) {
    ASSERT_EQ(records[i].lineNumber(), i);
  }
}

// The line number is split between two words of the record: equal keys still order by the
// whole number, and where the text is comes back as it was given.
TEST(SortKeys, LineNumbersOrderEqualKeysAcrossTheirWholeWidth) {
  const std::uint64_t numbers[] = {0,      1,         65535,    65536,        65537,
                                   131071, 123456789, 1u << 30, 123456789012, (1ull << 44) - 1};
  std::vector<SortRecord> records;
  ParsedLine blank;
  for (const std::uint64_t n : numbers) {
    const TextPlace place{n % 3 == 0, (n * 7919) % (1ull << 47)};
    records.push_back(MakeSortRecord(0, blank, 3, n, n % 2 == 0, place));
  }
  std::shuffle(records.begin(), records.end(), std::mt19937(3));
  SortByKey(records);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const std::uint64_t n = numbers[i];
    ASSERT_EQ(records[i].lineNumber(), n);
    EXPECT_EQ(records[i].expanded(), n % 2 == 0);
    EXPECT_EQ(records[i].text().inStaging, n % 3 == 0);
    EXPECT_EQ(records[i].text().offset, (n * 7919) % (1ull << 47));
  }
}

// The record array keeps every record through its growth and its final cut, and sorts as a
// vector does.
TEST(SortKeys, RecordArrayKeepsItsRecordsAsItGrows) {
  std::mt19937 random(11);
  RecordArray array;
  std::vector<SortRecord> reference;
  for (std::uint64_t i = 0; i < 150000; ++i) {
    std::int16_t state = 1;
    const ParsedLine p = RandomLine(random, state);
    reference.push_back(MakeSortRecord(static_cast<int>(i % 6), p, state, i));
    array.Add(reference.back());
  }
  array.Fit();
  RecordArray moved = std::move(array);
  ASSERT_EQ(moved.size(), reference.size());
  SortByKey(moved.all());
  SortByKey(reference);
  for (std::size_t i = 0; i < reference.size(); ++i) {
    ASSERT_EQ(moved[i].lineNumber(), reference[i].lineNumber()) << i;
    ASSERT_EQ(moved[i].hi, reference[i].hi) << i;
  }
}

// Stages, keys, sorts and writes a capture in memory, as the pipeline does with files.
std::vector<std::string> SortText(const std::string& text, const SortOptions& options) {
  files::VectorLineSink staged;
  StagingMarks marks;
  StageLines(text, staged, &marks);
  RouteLineParser parser;
  std::int16_t state = kLineStateReset;
  std::vector<SortRecord> records;
  for (std::size_t i = 0; i < staged.lines.size(); ++i) {
    const ParsedLine p = parser.Parse(staged.lines[i], state);
    const bool expanded = std::ranges::count(marks.expanded, static_cast<std::int64_t>(i)) > 0;
    records.push_back(MakeSortRecord(options.KeyNumber(), p, state, i, expanded));
  }
  SortByKey(records);
  SortedLineWriter writer(options);
  std::vector<std::string> out;
  for (const SortRecord& r : records) {
    out.emplace_back(writer.Process(staged.lines[r.lineNumber()], r.expanded()));
  }
  return out;
}

SortOptions Key(int k) {
  SortOptions o;
  o.followOptions = true;
  o.sortKey = {};
  o.sortKey[static_cast<std::size_t>(k)] = true;
  return o;
}

TEST(SortKeys, HandMadeLogInEachOrder) {
  const std::string log =
      "R1#show ip route\r\n"
      "Gateway of last resort is 10.9.9.9 to network 0.0.0.0\r\n"
      "\r\n"
      "S       10.0.0.0/8 [1/0] via 192.168.0.9\r\n"
      "O       9.0.0.0/16 [110/2] via 192.168.0.10\r\n"
      "C       10.0.0.0/24 is directly connected, E0\r\n"
      "B       172.16.0.0/12 [20/0] via 9.9.9.9\r\n"
      "\r\n"
      "R1#\r\n";
  const std::string head[] = {"R1#show ip route",
                              "Gateway of last resort is 10.9.9.9 to network 0.0.0.0", ""};
  const std::string s = "S       10.0.0.0/8 [1/0] via 192.168.0.9";
  const std::string o = "O       9.0.0.0/16 [110/2] via 192.168.0.10";
  const std::string c = "C       10.0.0.0/24 is directly connected, E0";
  const std::string b = "B       172.16.0.0/12 [20/0] via 9.9.9.9";
  const std::vector<std::vector<std::string>> expected = {
      {o, c, s, b},  // destination: 9 before 10; 10.0.0.0 connected (hop 0) before static
      {c, b, s, o},  // next hop: 0.0.0.0, 9.9.9.9, 192.168.0.9, 192.168.0.10
      {s, b, o, c},  // mask 8, 12, 16, 24
      {s, b, o, c}, {b, c, o, s},  // protocol letter
      {b, c, o, s},
  };
  for (int k = 0; k < 6; ++k) {
    std::vector<std::string> want(std::begin(head), std::end(head));
    want.insert(want.end(), expected[k].begin(), expected[k].end());
    want.push_back("");
    want.push_back("R1#");
    EXPECT_EQ(SortText(log, Key(k)), want) << "key " << k;
  }
  SortOptions off = Key(4);
  off.followOptions = false;  // the key is ignored: destination order
  EXPECT_EQ(SortText(log, off)[3], o);
}

}  // namespace
}  // namespace kestrelon::routes
