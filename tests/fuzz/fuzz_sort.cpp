// The whole sort of one capture in memory: staging, parsing after a reset, the records, the
// radix sort and the writer. The first byte chooses the key number and whether the options
// are followed, the second the information filter items; the rest is the capture.
// Checks that the radix order equals a plain stable sort by the four key words and that the
// writer gives one line per staged line, never longer than it.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/line_cursor.h"
#include "files/line_sink.h"
#include "fuzz_common.h"
#include "routes/route_line_parser.h"
#include "routes/sort_keys.h"
#include "routes/sort_options.h"
#include "routes/sorted_output.h"
#include "routes/staging.h"

using kestrelon::fuzz::Require;
namespace f = kestrelon::files;
namespace r = kestrelon::routes;

namespace {

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
    const r::ParsedLine parsed = parser.Parse(line, state);
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

  // The writer, beside a second one that never filters: filtering is the only difference.
  r::SortedLineWriter writer(options);
  r::SortOptions plainOptions = options;
  plainOptions.followOptions = false;
  r::SortedLineWriter plainWriter(plainOptions);
  std::size_t written = 0;
  for (const r::SortRecord& record : records) {
    const auto start = static_cast<std::size_t>(record.text().offset);
    const std::string_view line = staging.substr(start, f::FindLineEnd(staging, start) - start);
    const std::string out(writer.Process(line, record.expanded()));
    const std::string plain(plainWriter.Process(line, record.expanded()));
    ++written;
    Require(!kestrelon::fuzz::HasLineEnd(out), "no output line holds CR or LF");
    Require(out.size() <= line.size(), "an output line is never longer than its staged line");
    if (!record.expanded() && line.find('[') == std::string_view::npos) {
      Require(plain == line, "a line without marker or bracket is only filtered");
    }
    if (options.FilterActive() && r::IsRouteShaped(line)) {
      Require(out == r::ApplyInfoFilter(plain, options.infoDel), "the filter follows re-indenting");
    } else {
      Require(out == plain, "no filter on this line");
    }
  }
  Require(written == sink.lines.size(), "one output line per staged line");
  return 0;
}
