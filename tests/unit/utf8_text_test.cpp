#include "files/utf8_text.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrelon::files {
namespace {

// Each well-formed character decodes whole; anything else, encoded surrogates among them, is
// one invalid byte (0xDC00 + byte).
TEST(Utf8Text, DecodesWellFormedCharactersAndNothingElse) {
  const struct {
    std::string text;
    std::size_t length;
    std::uint32_t decoded;
  } cases[] = {
      {"A", 1, 'A'},
      {"\xC3\xA9", 2, 0xE9},
      {"\xE3\x81\x82", 3, 0x3042},
      {"\xED\x9F\xBF", 3, 0xD7FF},
      {"\xED\xA0\x80", 1, 0xDCED},  // U+D800
      {"\xED\xBF\xBF", 1, 0xDCED},  // U+DFFF
      {"\xEE\x80\x80", 3, 0xE000},
      {"\xF0\x9F\x98\x80", 4, 0x1F600},
      {"\xF4\x90\x80\x80", 1, 0xDCF4},  // above U+10FFFF
      {"\xC0\x80", 1, 0xDCC0},          // overlong
      {"\xE0\x9F\xBF", 1, 0xDCE0},      // overlong
      {"\xE3\x81", 1, 0xDCE3},          // cut short
      {"\x80", 1, 0xDC80},
  };
  for (const auto& c : cases) {
    std::size_t length = 0;
    EXPECT_EQ(DecodeChar(c.text, 0, length), c.decoded) << testing::PrintToString(c.text);
    EXPECT_EQ(length, c.length) << testing::PrintToString(c.text);
    EXPECT_EQ(CharLength(c.text, 0), c.length) << testing::PrintToString(c.text);
  }
}

}  // namespace
}  // namespace kestrelon::files
