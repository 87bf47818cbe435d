// Staging of a whole capture into memory. Checks that staging only joins lines (never adds
// any), leaves no line end inside a line, applies every backspace, marks only lines it expanded
// and headings, and that the core's line reader and character decoder agree with independent
// ones. The capture's text as the sort reads it (byte order marks, UTF-16) is checked too.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/capture_text.h"
#include "files/line_cursor.h"
#include "files/line_sink.h"
#include "files/utf8_text.h"
#include "fuzz_common.h"
#include "routes/staging.h"
#include "routes/table_sections.h"

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

// Without a mark the text is the input; a UTF-8 mark goes; UTF-16 becomes valid UTF-8.
void CheckCaptureText(std::string_view input) {
  const kestrelon::files::CaptureText capture(input);
  const std::string_view text = capture.text();
  if (input.starts_with("\xEF\xBB\xBF")) {
    Require(text == input.substr(3), "a UTF-8 mark is dropped, nothing else");
  } else if (input.starts_with("\xFF\xFE") || input.starts_with("\xFE\xFF")) {
    for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
      const std::uint32_t c = kestrelon::files::DecodeChar(text, i, length);
      Require(c < 0xD800 || c > 0xDFFF, "UTF-16 turns into valid UTF-8");
    }
    Require(text.size() <= (input.size() - 2) / 2 * 3 + 3, "at most 3 bytes per code unit");
  } else {
    Require(text == input, "text without a mark is taken as it is");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckCaptureText(input);
  const std::vector<std::string_view> lines = kestrelon::fuzz::SplitLines(input);

  // The core's reader splits exactly as the independent splitter does.
  kestrelon::files::LineCursor cursor(input);
  for (const std::string_view line : lines) {
    Require(!cursor.AtEnd(), "the cursor has as many lines as the splitter");
    const std::string_view peeked = cursor.Peek();
    Require(cursor.Next() == line && peeked == line, "the cursor reads the splitter's lines");
  }
  Require(cursor.AtEnd(), "the cursor has no extra line");

  bool plain = true;  // no line that staging could change
  for (const std::string_view line : lines) {
    for (std::size_t i = 0; i < line.size(); i += kestrelon::fuzz::Utf8Length(line, i)) {
      Require(kestrelon::files::CharLength(line, i) == kestrelon::fuzz::Utf8Length(line, i),
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

  kestrelon::files::VectorLineSink sink;
  kestrelon::routes::StagingMarks marks;
  const std::int64_t count = kestrelon::routes::StageLines(input, sink, &marks);
  const auto staged = static_cast<std::int64_t>(sink.lines.size());
  Require(count == staged, "the returned count is the number of staged lines");
  Require(staged <= static_cast<std::int64_t>(lines.size()), "staging never adds lines");
  // A join consumes one following line, and a joined line is not joined again.
  Require(2 * staged >= static_cast<std::int64_t>(lines.size()), "a join takes one line only");
  for (const std::int64_t i : marks.expanded) {
    Require(i >= 0 && i < staged, "an expanded line is a staged line");
    const std::string& line = sink.lines[static_cast<std::size_t>(i)];
    Require(line.size() >= 2 && line.ends_with(" *"), "an expanded line ends with the marker");
  }
  for (const std::int64_t i : marks.tables) {
    Require(i >= 0 && i < staged, "a heading is a staged line");
    Require(kestrelon::routes::IsRoutingTableLine(sink.lines[static_cast<std::size_t>(i)]),
            "a heading starts with its text");
  }
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
