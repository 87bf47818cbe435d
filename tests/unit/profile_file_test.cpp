#include "settings/profile_file.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrelon::settings {
namespace {

TEST(ProfileFile, FindsTheValueOfItsKeyInItsSection) {
  const std::string text =
      "SortExt1=.top\r\n[Other]\r\nSortExt1=.other\r\n"
      "  [ kestrelON ] trailing\r\n;SortExt1=.c1\n  # SortExt1=.c2\nSortExt1\nSortExt1 .x\n"
      " \t sortEXT1 \t=\t .srt \t\r\nDiffExt=.dif\rempty=\rblank=   \neq=a=b\ninner=a  b  \n"
      "first=1\nfirst=2\n[kestrelon]\nEnableOpt=1\n[More]\nStoreSort=1";
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"SortExt1", ".srt"},
      {"sortext1", ".srt"},
      {"DIFFEXT", ".dif"},
      {";SortExt1", std::nullopt},
      {"empty", ""},
      {"blank", ""},
      {"eq", "a=b"},
      {"inner", "a  b"},
      {"first", "1"},
      {"a", std::nullopt},
      {"EnableOpt", std::nullopt},
  };
  for (const auto& [key, value] : cases) {
    EXPECT_EQ(FindProfileValue(text, "KESTRELON", key), value) << key;
  }
  EXPECT_EQ(FindProfileValue(text, "More", "StoreSort"), "1");
  EXPECT_EQ(FindProfileValue(text, "Missing", "SortExt1"), std::nullopt);
  EXPECT_EQ(FindProfileValue("\xEF\xBB\xBF[K]\rA=1", "K", "A"), "1");
}

TEST(ProfileFile, SetChangesOnlyTheKeysOwnLine) {
  const struct {
    std::string text, section, key, value, changed;
  } cases[] = {
      {"", "Kestrelon", "SortExt1", ".srt", "[Kestrelon]\r\nSortExt1=.srt\r\n"},
      // Added lines end as the first line does; a last line without an end gets one first.
      {"; top\n[Other]\nx=1", "Kestrelon", "A", "1", "; top\n[Other]\nx=1\n[Kestrelon]\nA=1\n"},
      // A new key goes after the last line of its section that is not blank.
      {"[K]\r\nA=1\r\n\r\n \r\n[L]\r\nB=2\r\n", "k", "C", "3",
       "[K]\r\nA=1\r\nC=3\r\n\r\n \r\n[L]\r\nB=2\r\n"},
      {"[K]\r\n; note\r\n", "K", "C", "3", "[K]\r\n; note\r\nC=3\r\n"},
      // An existing key keeps all up to its value.
      {"[K]\r\n  a \t=  old value  \r\nb=2\r\n", "K", "A", "new", "[K]\r\n  a \t=  new\r\nb=2\r\n"},
      {"[K]\r\nA=1\r\n", "K", "A", "", "[K]\r\nA=\r\n"},
      // Every other line keeps its bytes and its own line end.
      {"\xEF\xBB\xBF; caf\xC3\xA9 \xFF\r[K]\nodd line\r\n\tA = 1\n# end", "K", "A", "2",
       "\xEF\xBB\xBF; caf\xC3\xA9 \xFF\r[K]\nodd line\r\n\tA = 2\n# end"},
      {"\xEF\xBB\xBF; x\r[K]\nA = 1\n# end", "K", "B", "3",
       "\xEF\xBB\xBF; x\r[K]\nA = 1\n# end\rB=3\r"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SetProfileValue(c.text, c.section, c.key, c.value), c.changed) << c.text;
  }
}

}  // namespace
}  // namespace kestrelon::settings
