#include "routes/sort_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace kestrelon::routes {
namespace {

// A parsed line with few distinct values, so that ties and shared prefixes are common.
ParsedLine RandomLine(std::mt19937& random, std::int16_t& state) {
  const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  ParsedLine p;
  if (pick(4) == 0) {
    state = static_cast<std::int16_t>(pick(2) == 0 ? 1 : 3);
    p.MaskKey = static_cast<std::int16_t>(pick(33) - 1);
    return p;
  }
  state = 2;
  const int values[] = {0, 1, 7, 8, 255, 256, 2560, 32767, 32768, 65535};
  p.DestHigh = values[pick(10)];
  p.DestLow = values[pick(10)];
  p.HopHigh = pick(3) == 0 ? 0 : values[pick(10)];
  p.HopLow = pick(3) == 0 ? 65535 : values[pick(10)];
  p.CodeKey = pick(2) == 0 ? 141037600 : (pick(2) == 0 ? 174755872 : 166208178 + pick(200));
  p.MaskKey = static_cast<std::int16_t>(pick(32));
  return p;
}

// The order is that of the four non-negative 31-bit key words, the line number last, as the
// bitwise partition over each word orders them; the radix sort must give the same.
class KeyOrder : public ::testing::TestWithParam<int> {};

TEST_P(KeyOrder, RadixSortGivesTheOrderOfTheKeyWords) {
  const int key = GetParam();
  std::mt19937 random(1234u + static_cast<unsigned>(key));
  for (int round = 0; round < 20; ++round) {
    const std::size_t n = 1 + random() % 600;
    std::vector<std::pair<std::array<std::int32_t, 4>, std::uint64_t>> reference;
    std::vector<SortRecord> records;
    for (std::size_t i = 1; i <= n; ++i) {
      std::int16_t state = 1;
      const ParsedLine p = RandomLine(random, state);
      const auto words = KeyWords(key, p, state, static_cast<std::int64_t>(i));
      ASSERT_GE(*std::min_element(words.begin(), words.end()), 0);
      reference.emplace_back(words, i * 100);
      records.push_back(MakeSortRecord(key, p, state, i * 100, i % 3 == 0));
    }
    std::sort(reference.begin(), reference.end());
    SortByKey(records);
    for (std::size_t i = 0; i < n; ++i) {
      ASSERT_EQ(records[i].lineNumber(), reference[i].second)
          << "round " << round << " index " << i;
      ASSERT_EQ(records[i].expanded(), records[i].lineNumber() % 300 == 0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllKeys, KeyOrder, ::testing::Range(0, 6));

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

}  // namespace
}  // namespace kestrelon::routes
