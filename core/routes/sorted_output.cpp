#include "routes/sorted_output.h"

#include <cstdint>
#include <cstring>

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
  return files::ByteOfChar(text, pos);
}

// A line being cut: a view of the line as it came, or of one of two buffers, so that a cut that
// only shortens the line copies nothing.
class CutLine {
 public:
  CutLine(std::string_view line, std::string& one, std::string& other)
      : text(line), one_(one), other_(other) {}

  void Keep(std::size_t length) { text = text.substr(0, length); }
  // Removes the bytes from..to (to excluded).
  void Remove(std::size_t from, std::size_t to) {
    std::string& out = text.data() == one_.data() ? other_ : one_;  // not where text lives
    out.assign(text.substr(0, from));
    out.append(text.substr(to));
    text = out;
  }

  std::string_view text;

 private:
  std::string& one_;
  std::string& other_;
};

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Keeps what stands before the first occurrence of needle at or after character position 10.
void CutBeforeFromColumn10(CutLine& line, std::string_view needle) {
  const std::size_t from = ByteAt(line.text, 10, files::IsAscii(line.text));
  const std::size_t at = line.text.find(needle, from);
  if (at != npos) {
    line.Keep(at);
  }
}

// The first comma at or after from, or npos.
std::size_t FindComma(std::string_view text, std::size_t from) {
  if (from >= text.size()) {
    return npos;
  }
  const void* at = std::memchr(text.data() + from, ',', text.size() - from);
  return at == nullptr ? npos
                       : static_cast<std::size_t>(static_cast<const char*>(at) - text.data());
}

// bgp: the line belongs to a route learned by BGP, whose time is its last item. Its further
// paths are written indented under it, without the code, and lose their time too.
void TimeCut(CutLine& line, bool bgp) {
  const std::string_view text = line.text;
  const std::size_t first = FindComma(text, 0);
  if (first == npos) {
    return;  // a "B " line without a comma would be cut at a negative length: left as it is
  }
  const std::size_t second = FindComma(text, first + 1);
  if (second == npos || second == first + 1) {
    if (bgp) {
      line.Keep(first);
    }
    return;
  }
  if (!EndsWith(text.substr(first + 1, second - first - 1), "nets")) {
    line.Remove(first + 1, second + 1);
  }
}

void InterfaceCut(CutLine& line) {
  const std::size_t last = line.text.rfind(',');
  if (last != npos && !EndsWith(line.text, "nets") && !EndsWith(line.text, "asks")) {
    line.Keep(last);
  }
}

void CostCut(CutLine& line) {
  const std::string_view text = line.text;
  const std::size_t open = text.find('[');
  const std::size_t close = text.find(']', open == npos ? 0 : open + 1);
  if (close == npos || open == npos || open == 0 || close == open + 1) {
    // No bracketed part, or one whose cut would take a negative length: left as it is.
    return;
  }
  // Removes the character before the "[" (the blank) and the whole bracketed part.
  std::size_t before = open - 1;
  if (!files::IsAscii(text.substr(0, open))) {
    before = files::ByteOfChar(text, files::CharOfByte(text, open) - 1);
  }
  line.Remove(before, close + 1);
}

bool IsBgp(std::string_view staged) {
  return staged.size() >= 2 && staged[0] == 'B' && staged[1] == ' ';
}

// The filter's cuts, in their fixed order.
std::string_view Filter(std::string_view input, bool bgp, const std::array<bool, 6>& infoDel,
                        std::string& one, std::string& other) {
  CutLine line(input, one, other);
  if (infoDel[5]) {
    CutBeforeFromColumn10(line, " ");
    CutBeforeFromColumn10(line, "/");
  } else if (infoDel[4]) {
    CutBeforeFromColumn10(line, ",");
    CutBeforeFromColumn10(line, " [");
    CutBeforeFromColumn10(line, " is ");
  } else {
    if (infoDel[2])
      TimeCut(line, bgp);
    if (infoDel[1])
      InterfaceCut(line);
    if (infoDel[3])
      CostCut(line);
  }
  return line.text;
}

}  // namespace

bool IsRouteShaped(std::string_view line) {
  if (line.size() >= 10) {
    // The common case, ten ASCII bytes: characters are bytes.
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    std::uint64_t first8;
    std::memcpy(&first8, p, 8);
    if (((first8 & 0x8080808080808080ULL) | ((p[8] | p[9]) & 0x80u)) == 0) {
      return p[0] != ' ' && (p[1] == ' ' || p[1] == '*') && IsCodeLineColumn5(p[4]) &&
             (p[8] != ' ' || p[9] != ' ');
    }
  }
  // Only the first ten characters are looked at: their bytes are theirs when ASCII.
  const bool ascii = files::IsAscii(line.substr(0, std::min<std::size_t>(line.size(), 10)));
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

std::string ApplyInfoFilter(std::string_view input, const std::array<bool, 6>& infoDel) {
  std::string one;
  std::string other;
  return std::string(Filter(input, IsBgp(input), infoDel, one, other));
}

std::string_view SortedLineWriter::Process(std::string_view staged, bool expanded) {
  std::string_view current = staged;
  // The first c characters of both lines are equal when their bytes through the "[" are.
  const auto samePrefix = [&](std::string_view text) {
    const std::size_t through = text.find('[') + 1;
    return previous_.substr(0, through) == text.substr(0, through);
  };
  // Where the previous line has its "[": found once per line at most.
  const auto previousBracket = [&] {
    if (!previousBracketKnown_) {
      previousBracket_ = files::CharPosOf(previous_, '[');
      previousBracketKnown_ = true;
    }
    return previousBracket_;
  };
  std::size_t c = 0;
  bool bracketKnown = false;
  // Most lines are printed as staged: the result then points at the input, no copy.
  std::string_view result = staged;
  if (expanded && EndsWith(staged, kMarker)) {
    current = staged.substr(0, staged.size() - kMarker.size());
    result = current;
    c = files::CharPosOf(current, '[');
    bracketKnown = true;
    if (c > 0 && c == previousBracket() && samePrefix(current)) {
      line_.assign(c - 1, ' ');
      line_.append(current.substr(current.find('[')));
      result = line_;
    } else {
      detached_ = true;  // includes a line without "[" under one without: nothing to align to
    }
  } else if (detached_) {
    c = files::CharPosOf(current, '[');
    bracketKnown = true;
    if (c > 0 && c == previousBracket() && samePrefix(current)) {
      line_.assign(c - 1, ' ');
      line_.append(current.substr(current.find('[')));
      result = line_;
      detached_ = false;
    }
  }
  previous_ = current;
  previousBracket_ = c;
  previousBracketKnown_ = bracketKnown;

  if (cuts_ && IsRouteShaped(staged)) {
    result = Filter(result, IsBgp(staged), infoDel_, cut_, cutOther_);
  }
  return result;
}

}  // namespace kestrelon::routes
