// The whole sort of one capture in memory: staging, parsing after a reset, the records, the
// radix sort and the writer. The first byte chooses the key number and whether the options
// are followed, the second the information filter items; the rest is the capture.
// Checks that staging only joins lines (never adds any), leaves no line end inside a line,
// applies every backspace, marks only lines it expanded and headings, and that the core's line
// reader and character decoder agree with independent ones (the capture's text as the sort
// reads it too: byte order marks, UTF-16); that each staged line parses into the ranges the key
// layout relies on, and alike when parsed again; that the radix order equals a plain
// stable sort by the four key words; and that the writer gives one line per staged line, never
// longer than it.
#include <algorithm>
#include <array>
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
#include "routes/route_line_parser.h"
#include "routes/sort_keys.h"
#include "routes/sort_options.h"
#include "routes/sorted_output.h"
#include "routes/staging.h"
#include "routes/table_sections.h"

using kestrelon::fuzz::Require;
namespace f = kestrelon::files;
namespace r = kestrelon::routes;

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
  const f::CaptureText capture(input);
  const std::string_view text = capture.text();
  if (input.starts_with("\xEF\xBB\xBF")) {
    Require(text == input.substr(3), "a UTF-8 mark is dropped, nothing else");
  } else if (input.starts_with("\xFF\xFE") || input.starts_with("\xFE\xFF")) {
    for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
      const std::uint32_t c = f::DecodeChar(text, i, length);
      Require(c < 0xD800 || c > 0xDFFF, "UTF-16 turns into valid UTF-8");
    }
    Require(text.size() <= (input.size() - 2) / 2 * 3 + 3, "at most 3 bytes per code unit");
  } else {
    Require(text == input, "text without a mark is taken as it is");
  }
}

// Staging of the whole capture, against an independent line splitter, character decoder and
// backspace rule.
void CheckStaging(std::string_view input, const f::VectorLineSink& sink,
                  const r::StagingMarks& marks) {
  CheckCaptureText(input);
  const std::vector<std::string_view> lines = kestrelon::fuzz::SplitLines(input);

  // The core's reader splits exactly as the independent splitter does.
  f::LineCursor cursor(input);
  for (const std::string_view line : lines) {
    Require(!cursor.AtEnd(), "the cursor has as many lines as the splitter");
    const std::string_view peeked = cursor.Peek();
    Require(cursor.Next() == line && peeked == line, "the cursor reads the splitter's lines");
  }
  Require(cursor.AtEnd(), "the cursor has no extra line");

  bool plain = true;  // no line that staging could change
  for (const std::string_view line : lines) {
    for (std::size_t i = 0; i < line.size(); i += kestrelon::fuzz::Utf8Length(line, i)) {
      Require(f::CharLength(line, i) == kestrelon::fuzz::Utf8Length(line, i),
              "the core decodes UTF-8 as the reference does");
    }
    const std::string edited = r::ApplyBackspaces(line);
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

  const auto staged = static_cast<std::int64_t>(sink.lines.size());
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
    Require(r::IsRoutingTableLine(sink.lines[static_cast<std::size_t>(i)]),
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
}

r::SortOptions OptionsFrom(std::uint8_t choice, std::uint8_t filter) {
  r::SortOptions options;
  options.followOptions = (choice & 0x80) != 0;
  options.sortKey = {};
  options.sortKey[(choice & 0x7F) % 6] = true;
  if (choice & 0x40) {
    options.sortKey[((choice >> 3) & 7) % 6] = true;  // two checked items: the higher counts
  }
  for (std::size_t i = 0; i < 6; ++i) {
    options.infoDel[i] = ((filter >> i) & 1) != 0;
  }
  return options;
}

bool EndsWithMarker(std::string_view line) {
  return line.size() >= 2 && line.substr(line.size() - 2) == " *";
}

bool IsHalf(std::int32_t v) {
  return v >= 0 && v <= 65535;
}

// One staged line parsed, in an exact-size copy so that a read past its end is a heap overflow:
// the ranges the key layout relies on, the fixed results of non-route lines, and a second parse
// of the same line alike.
r::ParsedLine CheckedParse(std::string_view line, r::RouteLineParser& parser, std::int16_t& state,
                           bool& routeSeen) {
  const std::vector<char> owned(line.begin(), line.end());
  const std::string_view text(owned.data(), owned.size());
  const r::ParsedLine p = parser.Parse(text, state);
  Require(state >= 1 && state <= 3, "LineState in 1..3");
  Require(p.MaskKey >= -1 && p.MaskKey <= 31, "MaskKey in -1..31");
  Require(IsHalf(p.DestHigh) && IsHalf(p.DestLow) && IsHalf(p.HopHigh) && IsHalf(p.HopLow),
          "address halves in 0..65535");
  Require(p.CodeKey >= 0 && p.CodeKey <= r::kNoCode, "CodeKey in 0..268435455");
  const std::int16_t carried = parser.CarriedMaskLen();
  Require(carried >= 0 && carried <= 32, "carried mask length in 0..32");
  if (state == 2) {
    routeSeen = true;
    Require(p.MaskKey == (carried == 0 ? 0 : carried - 1), "route MaskKey from the carried length");
    if (text.size() >= 2 && text[0] == ' ' && text[1] == ' ') {
      Require(p.CodeKey == r::kNoCode, "an indented route line has no code");
    }
    const bool zeroHop = p.HopHigh == 0 && p.HopLow == 0;
    const bool noHop = p.HopHigh == r::kNoAddress && p.HopLow == r::kNoAddress;
    if (text.find("subnetted,") != std::string_view::npos ||
        text.find(" is directly connected,") != std::string_view::npos) {
      Require(zeroHop, "headers and connected routes have next hop 0");
    } else if (text.find(" via ") == std::string_view::npos) {
      Require(noHop, "no via: no next hop");
    }
  } else {
    Require(state == (routeSeen ? 3 : 1), "LineState tells whether a route was seen");
    Require(p.DestHigh == r::kNoAddress && p.DestLow == r::kNoAddress &&
                p.HopHigh == r::kNoAddress && p.HopLow == r::kNoAddress && p.CodeKey == r::kNoCode,
            "a non-route line has the marker values");
    Require(p.MaskKey == carried - 1, "a non-route MaskKey is the carried length - 1");
  }
  // Parsing the same line again changes nothing: the carried length is a fixed point.
  std::int16_t again = state;
  r::RouteLineParser copy = parser;
  const r::ParsedLine q = copy.Parse(text, again);
  Require(q.DestHigh == p.DestHigh && q.DestLow == p.DestLow && q.HopHigh == p.HopHigh &&
              q.HopLow == p.HopLow && q.CodeKey == p.CodeKey && q.MaskKey == p.MaskKey &&
              again == state && copy.CarriedMaskLen() == carried,
          "a line parsed twice gives the same result");
  return p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) {
    return 0;
  }
  const r::SortOptions options = OptionsFrom(data[0], data[1]);
  const int keyNumber = options.KeyNumber();
  Require(keyNumber >= 0 && keyNumber <= 5, "key number in 0..5");
  const std::string_view capture(reinterpret_cast<const char*>(data + 2), size - 2);

  f::VectorLineSink sink;
  r::StagingMarks marks;
  const std::int64_t count = r::StageLines(capture, sink, &marks);
  Require(count == static_cast<std::int64_t>(sink.lines.size()), "staged count");
  CheckStaging(capture, sink, marks);

  // The staging file, as the pipeline writes it: every line followed by CR LF.
  std::string stagingText;
  for (const std::string& line : sink.lines) {
    stagingText += line;
    stagingText += "\r\n";
  }
  const std::vector<char> stagingBytes(stagingText.begin(), stagingText.end());
  const std::string_view staging(stagingBytes.data(), stagingBytes.size());

  // Key building: each line read back from the staging bytes, parsed in file order.
  r::RouteLineParser parser;
  std::int16_t state = r::kLineStateReset;
  bool routeSeen = false;
  std::vector<r::SortRecord> records;
  std::vector<std::array<std::int32_t, 4>> words;
  std::vector<std::uint64_t> positions;
  f::LineCursor cursor(staging);
  auto nextExpanded = marks.expanded.begin();
  for (std::size_t i = 0; i < sink.lines.size(); ++i) {
    Require(!cursor.AtEnd(), "the staging bytes hold every staged line");
    const std::uint64_t position = cursor.Position();
    const std::string_view line = cursor.Next();
    Require(line == sink.lines[i], "a staged line reads back unchanged");
    const r::ParsedLine parsed = CheckedParse(line, parser, state, routeSeen);
    const bool expanded =
        nextExpanded != marks.expanded.end() && *nextExpanded == static_cast<std::int64_t>(i);
    if (expanded) {
      Require(EndsWithMarker(line), "an expanded line ends with the marker");
      ++nextExpanded;
    }
    records.push_back(
        r::MakeSortRecord(keyNumber, parsed, state, i, expanded, r::TextPlace{true, position}));
    const auto w = r::KeyWords(keyNumber, parsed, state, static_cast<std::int64_t>(i) + 1);
    for (const std::int32_t word : w) {
      Require(word >= 0, "every key word lies in 0..2^31-1");
    }
    words.push_back(w);
    positions.push_back(position);
  }
  Require(cursor.AtEnd(), "the staging bytes hold no extra line");

  r::SortByKey(records);

  std::vector<std::size_t> order(words.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    order[i] = i;
  }
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return words[a] < words[b]; });
  Require(records.size() == order.size(), "one record per staged line");
  for (std::size_t k = 0; k < order.size(); ++k) {
    Require(records[k].text().offset == positions[order[k]],
            "radix order equals the key-word order");
  }

  // The writer: one line per staged line, never longer; a line it need not re-indent is only
  // filtered.
  r::SortedLineWriter writer(options);
  std::size_t written = 0;
  for (const r::SortRecord& record : records) {
    const auto start = static_cast<std::size_t>(record.text().offset);
    const std::string_view line = staging.substr(start, f::FindLineEnd(staging, start) - start);
    const std::string out(writer.Process(line, record.expanded()));
    ++written;
    Require(!kestrelon::fuzz::HasLineEnd(out), "no output line holds CR or LF");
    Require(out.size() <= line.size(), "an output line is never longer than its staged line");
    if (!options.FilterActive() && !record.expanded() && line.find('[') == std::string_view::npos) {
      Require(out == line, "a line without marker or bracket is written as staged");
    }
  }
  Require(written == sink.lines.size(), "one output line per staged line");
  return 0;
}
