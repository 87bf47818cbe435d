// Staging of a whole capture into memory. Checks that staging only joins lines (never adds
// any), leaves no line end inside a line, applies every backspace, and that the core's line
// reader and character decoder agree with independent ones.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/line_cursor.h"
#include "files/line_sink.h"
#include "files/utf8_text.h"
#include "fuzz_common.h"
#include "routes/staging.h"

using kestrelon::fuzz::Require;

namespace {

// Lines longer than this skip the quadratic reference of backspace editing.
constexpr std::size_t kReferenceLimit = 4096;

// Backspace editing done literally: again and again, the first backspace and the character
// before it are removed; a backspace with nothing before it is removed alone.
std::string BackspacesByRule(std::string_view line) {
  std::vector<std::string> chars;
  for (std::size_t i = 0; i < line.size();) {
    const std::size_t length = kestrelon::fuzz::Utf8Length(line, i);
    chars.emplace_back(line.substr(i, length));
    i += length;
  }
  while (true) {
    std::size_t p = 0;
    while (p < chars.size() && chars[p] != "\b") {
      ++p;
    }
    if (p == chars.size()) {
      break;
    }
    const std::size_t from = p == 0 ? 0 : p - 1;
    chars.erase(chars.begin() + static_cast<std::ptrdiff_t>(from),
                chars.begin() + static_cast<std::ptrdiff_t>(p + 1));
  }
  std::string text;
  for (const std::string& c : chars) {
    text += c;
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string_view> lines = kestrelon::fuzz::SplitLines(input);

  // The core's reader splits exactly as the independent splitter does.
  kestrelon::routes::LineCursor cursor(input);
  for (const std::string_view line : lines) {
    Require(!cursor.AtEnd(), "the cursor has as many lines as the splitter");
    const std::string_view peeked = cursor.Peek();
    Require(cursor.Next() == line && peeked == line, "the cursor reads the splitter's lines");
  }
  Require(cursor.AtEnd(), "the cursor has no extra line");

  bool plain = true;  // no line that staging could change
  for (const std::string_view line : lines) {
    for (std::size_t i = 0; i < line.size(); i += kestrelon::fuzz::Utf8Length(line, i)) {
      Require(kestrelon::routes::CharLength(line, i) == kestrelon::fuzz::Utf8Length(line, i),
              "the core decodes UTF-8 as the reference does");
    }
    const std::string edited = kestrelon::routes::ApplyBackspaces(line);
    Require(edited.find('\b') == std::string::npos, "backspace editing leaves no backspace");
    Require(edited.size() <= line.size(), "backspace editing never lengthens a line");
    if (line.size() <= kReferenceLimit) {
      Require(edited == BackspacesByRule(line), "backspace editing follows the rule");
    }
    if (line.find('\b') != std::string_view::npos || line.substr(0, 4) == "    " ||
        (!line.empty() && line.back() == ' ')) {
      plain = false;
    }
  }

  kestrelon::routes::VectorLineSink sink;
  const std::int64_t count = kestrelon::routes::StageLines(input, sink);
  const auto staged = static_cast<std::int64_t>(sink.lines.size());
  Require(count == staged, "the returned count is the number of staged lines");
  Require(staged <= static_cast<std::int64_t>(lines.size()), "staging never adds lines");
  // A join consumes one following line, and a joined line is not joined again.
  Require(2 * staged >= static_cast<std::int64_t>(lines.size()), "a join takes one line only");
  for (const std::string& line : sink.lines) {
    Require(!kestrelon::fuzz::HasLineEnd(line), "no staged line holds CR or LF");
    Require(line.find('\b') == std::string::npos, "no staged line holds a backspace");
  }
  if (plain) {
    Require(staged == static_cast<std::int64_t>(lines.size()), "plain lines are all staged");
    for (std::size_t i = 0; i < lines.size(); ++i) {
      Require(sink.lines[i] == lines[i], "plain lines are staged unchanged");
    }
  }
  return 0;
}
