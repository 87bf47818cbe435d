#include "routes/sorted_output.h"

#include "files/utf8_text.h"
#include "routes/route_line_parser.h"

namespace kestrelon::routes {
namespace {

constexpr std::string_view kMarker = " *";
constexpr std::size_t npos = std::string_view::npos;

// Byte offset of 1-based character position pos (the text's size when shorter).
std::size_t ByteAt(std::string_view text, std::size_t pos, bool ascii) {
  if (ascii) {
    return pos - 1 < text.size() ? pos - 1 : text.size();
  }
  return ByteOfChar(text, pos);
}

// Keeps what stands before the first occurrence of needle at or after character position 10.
void CutBeforeFromColumn10(std::string& line, std::string_view needle) {
  const std::size_t from = ByteAt(line, 10, IsAscii(line));
  const std::size_t at = line.find(needle, from);
  if (at != npos) {
    line.resize(at);
  }
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

void TimeCut(std::string& line) {
  const std::size_t first = line.find(',');
  if (first == npos) {
    return;  // a "B " line without a comma would be cut at a negative length: left as it is
  }
  const std::size_t second = line.find(',', first + 1);
  if (second == npos || second == first + 1) {
    if (line.size() >= 2 && line[0] == 'B' && line[1] == ' ') {
      line.resize(first);
    }
    return;
  }
  if (!EndsWith(std::string_view(line).substr(first + 1, second - first - 1), "nets")) {
    line.erase(first + 1, second - first);
  }
}

void InterfaceCut(std::string& line) {
  const std::size_t last = line.rfind(',');
  if (last != npos && !EndsWith(line, "nets") && !EndsWith(line, "asks")) {
    line.resize(last);
  }
}

void CostCut(std::string& line) {
  const std::size_t open = line.find('[');
  const std::size_t close = line.find(']', open == npos ? 0 : open + 1);
  if (close == npos || open == npos || open == 0 || close == open + 1) {
    // No bracketed part, or one whose cut would take a negative length: left as it is.
    return;
  }
  // Removes the character before the "[" (the blank) and the whole bracketed part.
  std::size_t before = open - 1;
  if (!IsAscii(std::string_view(line).substr(0, open))) {
    before = ByteOfChar(line, CharOfByte(line, open) - 1);
  }
  line.erase(before, close + 1 - before);
}

}  // namespace

bool IsRouteShaped(std::string_view line) {
  // Only the first ten characters are looked at: their bytes are theirs when ASCII.
  const bool ascii = IsAscii(line.substr(0, std::min<std::size_t>(line.size(), 10)));
  // The character at 1-based position pos, or 0 when the line is shorter (0 is no blank, no "*").
  const auto at = [&](std::size_t pos) -> char {
    const std::size_t b = ByteAt(line, pos, ascii);
    if (b >= line.size())
      return '\0';
    const unsigned char c = static_cast<unsigned char>(line[b]);
    return c < 0x80 ? static_cast<char>(c) : '\x7F';  // any non-ASCII character is no blank
  };
  if (line.empty() || at(1) == ' ' || (at(2) != ' ' && at(2) != '*') ||
      !IsCodeLineColumn5(static_cast<unsigned char>(at(5)))) {
    return false;
  }
  const char ninth = at(9);
  if (ninth != ' ') {
    return true;
  }
  const std::size_t tenth = ByteAt(line, 10, ascii);
  return tenth < line.size() && line[tenth] != ' ';
}

namespace {

// The filter's cuts, in place on line.
void FilterInPlace(std::string& line, const std::array<bool, 6>& infoDel) {
  if (infoDel[5]) {
    CutBeforeFromColumn10(line, " ");
    CutBeforeFromColumn10(line, "/");
  } else if (infoDel[4]) {
    CutBeforeFromColumn10(line, ",");
    CutBeforeFromColumn10(line, " [");
    CutBeforeFromColumn10(line, " is ");
  } else {
    if (infoDel[2])
      TimeCut(line);
    if (infoDel[1])
      InterfaceCut(line);
    if (infoDel[3])
      CostCut(line);
  }
}

}  // namespace

std::string ApplyInfoFilter(std::string_view input, const std::array<bool, 6>& infoDel) {
  std::string line(input);
  FilterInPlace(line, infoDel);
  return line;
}

std::string_view SortedLineWriter::Process(std::string_view staged, bool expanded) {
  std::string_view current = staged;
  // The first c characters of both lines are equal when their bytes through the "[" are.
  const auto samePrefix = [&](std::string_view text) {
    const std::size_t through = text.find('[') + 1;
    return std::string_view(previous_).substr(0, through) == text.substr(0, through);
  };
  // Most lines are printed as staged: the result then points at the input, no copy.
  std::string_view result = staged;
  if (expanded && EndsWith(staged, kMarker)) {
    current = staged.substr(0, staged.size() - kMarker.size());
    result = current;
    const std::size_t c = CharPosOf(current, '[');
    if (c > 0 && c == CharPosOf(previous_, '[') && samePrefix(current)) {
      line_.assign(c - 1, ' ');
      line_.append(current.substr(current.find('[')));
      result = line_;
    } else {
      detached_ = true;  // includes a line without "[" under one without: nothing to align to
    }
  } else if (detached_) {
    const std::size_t c = CharPosOf(current, '[');
    if (c > 0 && c == CharPosOf(previous_, '[') && samePrefix(current)) {
      line_.assign(c - 1, ' ');
      line_.append(current.substr(current.find('[')));
      result = line_;
      detached_ = false;
    }
  }
  previous_.assign(current);

  if (options_.FilterActive() && IsRouteShaped(staged)) {
    if (result.data() != line_.data() || result.size() != line_.size()) {
      line_.assign(result);
    }
    FilterInPlace(line_, options_.infoDel);
    result = line_;
  }
  return result;
}

}  // namespace kestrelon::routes
