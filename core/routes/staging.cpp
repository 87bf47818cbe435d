#include "routes/staging.h"

#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "files/line_cursor.h"
#include "files/utf8_text.h"
#include "routes/table_sections.h"

namespace kestrelon::routes {
namespace {

constexpr std::string_view kMarker = " *";

bool StartsWithFourBlanks(std::string_view line) {
  return line.size() >= 4 && std::memcmp(line.data(), "    ", 4) == 0;
}

bool AllBlanks(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

bool HasBackspace(std::string_view line) {
  return !line.empty() && std::memchr(line.data(), '\b', line.size()) != nullptr;
}

bool Near(std::size_t a, std::size_t b) {
  return std::llabs(static_cast<long long>(a) - static_cast<long long>(b)) <= 2;
}

// The expansion of an indented extra path into out: the line above up to and including its
// first "[", then what follows the path's own "[", then the marker.
void Expand(std::string_view above, std::string_view path, std::size_t pathBracket,
            std::string& out) {
  out.assign(above.substr(0, above.find('[') + 1));
  out.append(path.substr(pathBracket + 1));
  out.append(kMarker);
}

// Adapts the line-sink form to the staged-line one.
class MarkingSink : public StagedLineSink {
 public:
  MarkingSink(files::LineSink& sink, StagingMarks* marks) : sink_(sink), marks_(marks) {}
  void Take(const StagedLine& line) override {
    if (marks_ != nullptr) {
      if (line.expanded) {
        marks_->expanded.push_back(count_);
      } else if (line.tableHeading) {
        marks_->tables.push_back(count_);
      }
    }
    sink_.Put(line.text);
    ++count_;
  }

 private:
  files::LineSink& sink_;
  StagingMarks* marks_;
  std::int64_t count_ = 0;
};

}  // namespace

std::string ApplyBackspaces(std::string_view line) {
  // One pass with a stack of character starts: the same as removing the first backspace and
  // the character before it again and again, without the quadratic cost on long lines.
  std::string text;
  text.reserve(line.size());
  std::vector<std::size_t> starts;
  for (std::size_t i = 0, length = 0; i < line.size(); i += length) {
    length = files::CharLength(line, i);
    if (line[i] == '\b') {
      if (!starts.empty()) {
        text.resize(starts.back());
        starts.pop_back();
      }
      continue;
    }
    starts.push_back(text.size());
    text.append(line.substr(i, length));
  }
  return text;
}

std::int64_t StageLines(std::string_view input, StagedLineSink& sink) {
  files::LineCursor cursor(input);
  // Lines that differ from the input's bytes live in owned strings; the others stay views into
  // the input, so most lines are never copied. The previous line is kept the same way.
  std::string current;
  std::string previous;
  std::string scratch;
  std::string_view previousText;  // the last staged line
  // Where the second half of the last join has its "[", while paths stay aligned with it; 0
  // when there is none.
  std::size_t wrapTailBracket = 0;
  std::int64_t count = 0;

  while (!cursor.AtEnd()) {
    StagedLine line;
    line.source = cursor.Position();
    std::string_view text = cursor.Next();
    bool owned = false;
    const auto own = [&] {  // scratch becomes the current line
      current.swap(scratch);
      text = current;
      owned = true;
    };
    if (HasBackspace(text)) {
      scratch = ApplyBackspaces(text);
      own();
    }

    if (StartsWithFourBlanks(text)) {
      const std::size_t a = files::CharPosOf(text, '[');
      const std::size_t b = files::CharPosOf(previousText, '[');
      // Everything before the "[" is a blank, so its character position is its byte offset + 1.
      const bool indentedPath = a > 0 && AllBlanks(text.substr(0, a - 1));
      if (Near(b, a)) {
        if (indentedPath) {
          Expand(previousText, text, a - 1, scratch);
          own();
          line.expanded = true;
        }
        wrapTailBracket = 0;
      } else if (Near(wrapTailBracket, a) && indentedPath) {
        Expand(previousText, text, a - 1, scratch);
        own();
        line.expanded = true;
      } else {
        wrapTailBracket = 0;
      }
    } else {
      wrapTailBracket = 0;
    }

    if (!text.empty() && text.back() == ' ') {
      std::string_view lookAhead = cursor.AtEnd() ? std::string_view() : cursor.Peek();
      std::string edited;
      if (HasBackspace(lookAhead)) {
        edited = ApplyBackspaces(lookAhead);
        lookAhead = edited;
      }
      const std::size_t first = lookAhead.find_first_not_of(' ');
      if (first != std::string_view::npos && lookAhead[first] == '[') {
        wrapTailBracket = files::CharPosOf(lookAhead, '[');
        scratch.assign(text);
        line.joinedAt = scratch.size();
        scratch.append(lookAhead.substr(first));
        own();
        cursor.Next();  // the joined line is consumed
      } else {
        wrapTailBracket = 0;
      }
    }

    line.text = text;
    line.unchanged = !owned;
    line.tableHeading = !line.expanded && IsRoutingTableLine(text);
    sink.Take(line);
    if (owned) {
      previous.swap(current);
      previousText = previous;
    } else {
      previousText = text;
    }
    ++count;
  }
  return count;
}

std::int64_t StageLines(std::string_view input, files::LineSink& sink, StagingMarks* marks) {
  MarkingSink marking(sink, marks);
  return StageLines(input, marking);
}

}  // namespace kestrelon::routes
