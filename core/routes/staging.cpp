#include "routes/staging.h"

#include <cstdlib>
#include <vector>

#include "files/line_cursor.h"
#include "files/utf8_text.h"
#include "routes/table_sections.h"

namespace kestrelon::routes {
namespace {

constexpr std::string_view kMarker = " *";

bool StartsWithFourBlanks(std::string_view line) {
  return line.substr(0, 4) == "    ";
}

bool AllBlanks(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

// The expansion of an indented extra path: the line above up to and including its first "[",
// then what follows the path's own "[", then the marker.
std::string Expand(std::string_view above, std::string_view path, std::size_t pathBracket) {
  std::string expanded(above.substr(0, above.find('[') + 1));
  expanded.append(path.substr(pathBracket + 1));
  expanded.append(kMarker);
  return expanded;
}

}  // namespace

std::string ApplyBackspaces(std::string_view line) {
  // One pass with a stack of character starts: the same as removing the first backspace and
  // the character before it again and again, without the quadratic cost on long lines.
  std::string text;
  text.reserve(line.size());
  std::vector<std::size_t> starts;
  for (std::size_t i = 0, length = 0; i < line.size(); i += length) {
    length = CharLength(line, i);
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

std::int64_t StageLines(std::string_view input, LineSink& sink, StagingMarks* marks) {
  LineCursor cursor(input);
  std::string previous;  // the last staged line
  std::string wrapTail;  // the second half of the last join while paths stay aligned with it
  std::string owned;     // the current line when it differs from the input's bytes
  std::int64_t count = 0;

  while (!cursor.AtEnd()) {
    bool expanded = false;
    std::string_view current = cursor.Next();
    if (current.find('\b') != std::string_view::npos) {
      owned = ApplyBackspaces(current);
      current = owned;
    }

    if (StartsWithFourBlanks(current)) {
      const std::size_t a = CharPosOf(current, '[');
      const std::size_t b = CharPosOf(previous, '[');
      // Everything before the "[" is a blank, so its character position is its byte offset + 1.
      const bool indentedPath = a > 0 && AllBlanks(current.substr(0, a - 1));
      if (std::llabs(static_cast<long long>(b) - static_cast<long long>(a)) <= 2) {
        if (indentedPath) {
          owned = Expand(previous, current, a - 1);
          current = owned;
          expanded = true;
        }
        wrapTail.clear();
      } else {
        const std::size_t d = CharPosOf(wrapTail, '[');
        if (std::llabs(static_cast<long long>(d) - static_cast<long long>(a)) <= 2 &&
            indentedPath) {
          owned = Expand(previous, current, a - 1);
          current = owned;
          expanded = true;
        } else {
          wrapTail.clear();
        }
      }
    } else {
      wrapTail.clear();
    }

    if (!current.empty() && current.back() == ' ') {
      std::string lookAhead = cursor.AtEnd() ? std::string() : ApplyBackspaces(cursor.Peek());
      wrapTail = lookAhead;
      const std::size_t first = lookAhead.find_first_not_of(' ');
      const std::string_view trimmed = first == std::string::npos
                                           ? std::string_view()
                                           : std::string_view(lookAhead).substr(first);
      if (!trimmed.empty() && trimmed.front() == '[') {
        std::string joined(current);
        joined.append(trimmed);
        owned = std::move(joined);
        current = owned;
        cursor.Next();  // the joined line is consumed
      } else {
        wrapTail.clear();
      }
    }

    if (marks != nullptr) {
      if (expanded) {
        marks->expanded.push_back(count);
      } else if (IsRoutingTableLine(current)) {
        marks->tables.push_back(count);
      }
    }
    sink.Put(current);
    previous.assign(current);
    ++count;
  }
  return count;
}

}  // namespace kestrelon::routes
