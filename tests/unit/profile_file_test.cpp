#include "settings/profile_file.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrelon::settings {
namespace {

std::optional<std::string> Find(std::string_view text, std::string_view key,
                                std::string_view section = "Kestrelon") {
  return FindProfileValue(text, section, key);
}

TEST(ProfileFile, FindsKeyOfItsSectionOnly) {
  const std::string text =
      "SortExt1=.top\r\n"
      "[Other]\r\nSortExt1=.other\r\n"
      "[Kestrelon]\r\nSortExt1=.srt\r\nDiffExt=.dif\r\n"
      "[More]\r\nEnableOpt=1\r\n";
  EXPECT_EQ(Find(text, "SortExt1"), ".srt");
  EXPECT_EQ(Find(text, "DiffExt"), ".dif");
  EXPECT_EQ(Find(text, "EnableOpt"), std::nullopt);
  EXPECT_EQ(Find(text, "SortExt1", "Missing"), std::nullopt);
  EXPECT_EQ(Find("", "SortExt1"), std::nullopt);
}

TEST(ProfileFile, NamesMatchWithoutCaseAndBlanksAreIgnored) {
  const std::string text = "  [ kestrelON ] trailing\n \t sortEXT1 \t=\t .srt \t\n";
  EXPECT_EQ(Find(text, "SortExt1"), ".srt");
  EXPECT_EQ(Find(text, "sortext1", "KESTRELON"), ".srt");
}

TEST(ProfileFile, CommentsAndOtherLinesNeverMatch) {
  const std::string text =
      "[Kestrelon]\n;SortExt1=.c1\n  # SortExt1=.c2\nSortExt1\nSortExt1 .x\nSortExt1=.srt\n";
  EXPECT_EQ(Find(text, "SortExt1"), ".srt");
  EXPECT_EQ(Find(text, ";SortExt1"), std::nullopt);
}

TEST(ProfileFile, ValueDetails) {
  const std::string text = "[K]\nempty=\nblank=   \neq=a=b\nfirst=1\nfirst=2\ninner=a  b  \n";
  EXPECT_EQ(Find(text, "empty", "K"), "");
  EXPECT_EQ(Find(text, "blank", "K"), "");
  EXPECT_EQ(Find(text, "eq", "K"), "a=b");
  EXPECT_EQ(Find(text, "first", "K"), "1");
  EXPECT_EQ(Find(text, "inner", "K"), "a  b");
  EXPECT_EQ(Find(text, "a", "K"), std::nullopt);
}

TEST(ProfileFile, EveryLineEndAndByteOrderMark) {
  EXPECT_EQ(Find("[Kestrelon]\rA=1\rB=2", "B"), "2");
  EXPECT_EQ(Find("[Kestrelon]\r\nA=1\r\nB=2\r\n", "A"), "1");
  EXPECT_EQ(Find("[Kestrelon]\nA=1\r\rB=2\n", "B"), "2");
  EXPECT_EQ(Find("\xEF\xBB\xBF[Kestrelon]\r\nA=1\r\n", "A"), "1");
}

TEST(ProfileFile, FirstOfTwoEqualSectionsCounts) {
  const std::string text = "[K]\nA=1\n[k]\nA=2\nB=3\n";
  EXPECT_EQ(Find(text, "A", "K"), "1");
  EXPECT_EQ(Find(text, "B", "K"), std::nullopt);
}

TEST(ProfileFile, SetCreatesSectionAndKey) {
  EXPECT_EQ(SetProfileValue("", "Kestrelon", "SortExt1", ".srt"),
            "[Kestrelon]\r\nSortExt1=.srt\r\n");
  // Added lines end as the first line does; a last line without an end gets one first.
  EXPECT_EQ(SetProfileValue("; top\n[Other]\nx=1", "Kestrelon", "A", "1"),
            "; top\n[Other]\nx=1\n[Kestrelon]\nA=1\n");
}

TEST(ProfileFile, SetAddsKeyAtTheEndOfItsSectionBeforeBlankLines) {
  EXPECT_EQ(SetProfileValue("[K]\r\nA=1\r\n\r\n \r\n[L]\r\nB=2\r\n", "k", "C", "3"),
            "[K]\r\nA=1\r\nC=3\r\n\r\n \r\n[L]\r\nB=2\r\n");
  EXPECT_EQ(SetProfileValue("[K]\r\n\r\n", "K", "C", "3"), "[K]\r\nC=3\r\n\r\n");
  EXPECT_EQ(SetProfileValue("[K]\r\n; note\r\n", "K", "C", "3"), "[K]\r\n; note\r\nC=3\r\n");
}

TEST(ProfileFile, SetReplacesOnlyTheValueOfAnExistingKey) {
  EXPECT_EQ(SetProfileValue("[K]\r\n  a \t=  old value  \r\nb=2\r\n", "K", "A", "new"),
            "[K]\r\n  a \t=  new\r\nb=2\r\n");
  EXPECT_EQ(SetProfileValue("[K]\r\nA=\r\n", "K", "A", "1"), "[K]\r\nA=1\r\n");
  EXPECT_EQ(SetProfileValue("[K]\r\nA=1\r\n", "K", "A", ""), "[K]\r\nA=\r\n");
}

// Every line that is not the key's own stays byte for byte, its line end included.
TEST(ProfileFile, SetKeepsOtherLinesByteForByte) {
  const std::string in = "\xEF\xBB\xBF; caf\xC3\xA9 \xFF\r[K]\nodd line\r\n\tA = 1\n# end";
  EXPECT_EQ(SetProfileValue(in, "K", "A", "2"),
            "\xEF\xBB\xBF; caf\xC3\xA9 \xFF\r[K]\nodd line\r\n\tA = 2\n# end");
  EXPECT_EQ(SetProfileValue(in, "K", "B", "3"),
            "\xEF\xBB\xBF; caf\xC3\xA9 \xFF\r[K]\nodd line\r\n\tA = 1\n# end\rB=3\r");
}

TEST(ProfileFile, SetThenFindReadsBack) {
  std::string text;
  text = SetProfileValue(text, "Kestrelon", "SortExt1", ".srt");
  text = SetProfileValue(text, "Kestrelon", "EnableOpt", "1");
  text = SetProfileValue(text, "Kestrelon", "SortExt1", ".txt");
  EXPECT_EQ(text, "[Kestrelon]\r\nSortExt1=.txt\r\nEnableOpt=1\r\n");
  EXPECT_EQ(Find(text, "sortext1"), ".txt");
  EXPECT_EQ(Find(text, "EnableOpt"), "1");
}

TEST(ProfileFile, CutAtCharBoundary) {
  EXPECT_EQ(CutAtCharBoundary("abcdef", 4), "abcd");
  EXPECT_EQ(CutAtCharBoundary("abc", 4), "abc");
  EXPECT_EQ(CutAtCharBoundary("", 4), "");
  // "a" then a 3-byte character: it does not fit in 3 bytes, it does in 4.
  EXPECT_EQ(CutAtCharBoundary("a\xE3\x81\x82", 3), "a");
  EXPECT_EQ(CutAtCharBoundary("a\xE3\x81\x82", 4), "a\xE3\x81\x82");
  // A 4-byte character.
  EXPECT_EQ(CutAtCharBoundary("\xF0\x9F\x98\x80z", 3), "");
  EXPECT_EQ(CutAtCharBoundary("\xF0\x9F\x98\x80z", 4), "\xF0\x9F\x98\x80");
  // Invalid bytes count as one character each: a lone continuation byte, a truncated sequence,
  // an overlong form, a surrogate.
  EXPECT_EQ(CutAtCharBoundary("ab\x80\x80", 3), "ab\x80");
  EXPECT_EQ(CutAtCharBoundary("a\xE3\x81", 2), "a\xE3");
  EXPECT_EQ(CutAtCharBoundary("\xC0\x80\xC0", 1), "\xC0");
  EXPECT_EQ(CutAtCharBoundary("\xED\xA0\x80", 2), "\xED\xA0");
}

}  // namespace
}  // namespace kestrelon::settings
