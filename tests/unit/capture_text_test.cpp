#include "files/capture_text.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrelon::files {
namespace {

TEST(CaptureText, MarksAreDroppedAndUtf16IsConverted) {
  const struct {
    std::string bytes, text;
  } cases[] = {
      {"\xEF\xBB\xBFR1#\r\n", "R1#\r\n"},
      {"\xEF\xBB\xBF", ""},
      {"R1#\xEF\xBB\xBF", "R1#\xEF\xBB\xBF"},  // only at the very start
      {"\xEF\xBB", "\xEF\xBB"},                // half a mark is bytes like any other
      {std::string("\xFF\xFE"
                   "C\0\r\0\n\0",
                   8),
       "C\r\n"},
      {std::string("\xFE\xFF\0C\0\r\0\n", 8), "C\r\n"},
      // "é", U+1F600 as a surrogate pair, then a lone surrogate and an odd last byte.
      {std::string("\xFF\xFE\xE9\0\x3D\xD8\x00\xDE\x00\xDC\x41", 11),
       "\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"\xFF\xFE", ""},
  };
  for (const auto& c : cases) {
    const CaptureText text(c.bytes);
    EXPECT_EQ(text.text(), c.text) << testing::PrintToString(c.bytes);
  }
}

}  // namespace
}  // namespace kestrelon::files
