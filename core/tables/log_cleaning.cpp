#include "tables/log_cleaning.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <future>
#include <utility>

#include "files/text_fields.h"
#include "routes/staging.h"
#include "tables/address_text.h"

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrelon::tables {
namespace {

constexpr char kEscape = '\x1b';
// The header PuTTY writes at the top of a log, and again each time it appends a session.
constexpr std::string_view kLogHeader = "=~=~=~=~";
// What a line that held only a pager prompt reads as.
constexpr std::string_view kPagerLine = "--More--";
// How many of the first lines with text are looked at for a time stamp before a capture is
// taken to have none: a stamping program stamps every line.
constexpr std::size_t kStampLinesLooked = 20;
// How far right a cursor move may go beyond a line's text.
constexpr std::size_t kWidestTerminal = 1024;
// From what size the scan for marks runs on two threads.
constexpr std::size_t kScannedInHalvesFrom = std::size_t{8} << 20;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsBlankText(std::string_view text) {
  return files::TrimLeadingBlanks(text).empty();
}

// "21:47" somewhere in text: the part every time stamp has.
bool HoldsTime(std::string_view text) {
  for (std::size_t i = 1; i + 2 < text.size(); ++i) {
    if (text[i] == ':' && IsDigit(text[i - 1]) && IsDigit(text[i + 1]) && IsDigit(text[i + 2])) {
      return true;
    }
  }
  return false;
}

// Digit groups of text split at any of separators: "2026-12-07" has 3. None when text holds
// anything else or an empty group.
int DigitGroups(std::string_view text, std::string_view separators) {
  int groups = 0;
  bool inGroup = false;
  for (const char c : text) {
    if (IsDigit(c)) {
      groups += inGroup ? 0 : 1;
      inGroup = true;
    } else if (separators.find(c) != std::string_view::npos && inGroup) {
      inGroup = false;
    } else {
      return 0;
    }
  }
  return inGroup ? groups : 0;
}

// "21:47:26", "21:47:26.123", "21:47:26,123", with a zone ("Z", "+01:00") and a ":" after it.
bool IsTimeWord(std::string_view word) {
  if (word.ends_with(':')) {
    word.remove_suffix(1);
  }
  if (word.ends_with('Z')) {
    word.remove_suffix(1);
  }
  const std::size_t zone = word.find_first_of("+-", 3);
  if (zone != std::string_view::npos) {
    if (DigitGroups(word.substr(zone + 1), ":") == 0) {
      return false;
    }
    word = word.substr(0, zone);
  }
  const std::size_t fraction = word.find_first_of(".,");
  const std::string_view clock = word.substr(0, fraction);
  if (fraction != std::string_view::npos && DigitGroups(word.substr(fraction + 1), "") != 1) {
    return false;
  }
  const int groups = DigitGroups(clock, ":");
  return (groups == 2 || groups == 3) && clock.size() <= 8 && HoldsTime(clock);
}

// A word of an unbracketed stamp: a date, a time, a date and time joined by "T", a day or a
// year, a weekday or month name, a zone name.
bool IsStampWord(std::string_view word, bool& time) {
  static constexpr std::array<std::string_view, 22> kNames = {
      "Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun", "Jan", "Feb", "Mar", "Apr",
      "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec", "UTC", "GMT", "CET"};
  if (std::find(kNames.begin(), kNames.end(), word) != kNames.end()) {
    return true;
  }
  const std::size_t t = word.find('T');
  if (t != std::string_view::npos) {
    const bool dated = DigitGroups(word.substr(0, t), "-/.") == 3 && IsTimeWord(word.substr(t + 1));
    time = time || dated;
    return dated;
  }
  if (IsTimeWord(word)) {
    time = true;
    return true;
  }
  const int groups = DigitGroups(word, "-/.");
  return (groups == 3 && word.size() <= 10) || (groups == 1 && word.size() <= 4);
}

// Writes a line's bytes as a terminal shows them: a CR returns to the first column, a
// backspace moves back one, later text overwrites earlier; erase-line (ESC [ K) erases, colour
// and other escape sequences leave nothing.
std::string ShowAsTerminal(std::string_view line) {
  std::string shown;
  std::size_t column = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\r') {
      column = 0;
    } else if (c == '\b') {
      column -= column > 0 ? 1 : 0;
    } else if (c == '\a') {
      // the bell shows nothing
    } else if (c == kEscape && i + 1 < line.size() && line[i + 1] == '[') {
      // A control sequence: parameters, then a final byte from "@" to "~".
      std::size_t end = i + 2;
      while (end < line.size() && (line[end] < '@' || line[end] > '~')) {
        ++end;
      }
      const std::string_view parameters = line.substr(i + 2, end - i - 2);
      const char final = end < line.size() ? line[end] : 'm';
      int n = 0;  // the first parameter
      for (std::size_t k = 0; k < parameters.size() && IsDigit(parameters[k]) && n < 10000; ++k) {
        n = n * 10 + (parameters[k] - '0');
      }
      switch (final) {
        case 'K':  // 0: to the end of the line, 1: from its start, 2: all of it
          if (n == 0) {
            shown.resize(std::min(column, shown.size()));
          } else {
            std::fill_n(shown.begin(), n == 1 ? std::min(column + 1, shown.size()) : shown.size(),
                        ' ');
          }
          break;
        case 'C':
          column += static_cast<std::size_t>(std::max(n, 1));
          break;
        case 'D':
          column -= std::min(column, static_cast<std::size_t>(std::max(n, 1)));
          break;
        case 'G':
          column = static_cast<std::size_t>(std::max(n, 1) - 1);
          break;
        default:
          break;  // colours and the rest change no text
      }
      // No further right than a wide terminal's edge: a line of cursor moves cannot grow
      // without end.
      column = std::min(column, std::max(shown.size(), kWidestTerminal));
      i = end;
    } else if (c == kEscape && i + 1 < line.size() && line[i + 1] == ']') {
      // An operating system command (a window title): up to BEL or ESC "\".
      std::size_t end = i + 2;
      while (end < line.size() && line[end] != '\a' && line[end] != kEscape) {
        ++end;
      }
      i = end < line.size() && line[end] == kEscape ? end + 1 : end;
    } else if (c == kEscape) {
      // ESC and one byte ("ESC =", "ESC 7"); a character set choice takes one more.
      i += i + 1 < line.size() && (line[i + 1] == '(' || line[i + 1] == ')') ? 2 : 1;
    } else {
      if (column < shown.size()) {
        shown[column] = c;
      } else {
        shown.append(column - shown.size(), ' ');
        shown.push_back(c);
      }
      ++column;
    }
  }
  return shown;
}

// A route line whose path went to the next line: it ends with its destination ("O E2
// 10.1.0.0/16", "O E1 172.23.100.0 255.255.254.0"). The one blank a router prints after it is
// kept: the staging step joins such a line with its path.
bool IsWrappedHead(std::string_view text) {
  // The last word first, by hand: most lines are told by its characters alone.
  std::size_t start = text.size();
  while (start > 0 && !files::IsBlankChar(text[start - 1])) {
    --start;
  }
  const std::string_view last = text.substr(start);
  for (const char c : last) {
    const bool hex = IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (!hex && c != '.' && c != ':' && c != '/') {
      return false;
    }
  }
  if (text.find('[') != std::string_view::npos || text.find(" via ") != std::string_view::npos) {
    return false;
  }
  return last.find('/') != std::string_view::npos ? ReadPrefix(last).has_value()
                                                  : IsAddress(last) || IsDottedMask(last);
}

// Whether a line (without its end) ends in blanks that would change how it reads: padding,
// where a router prints none. A legend line and a wrapped route line end in one blank as
// printed; a blank line may hold blanks.
bool HasPadding(std::string_view line) {
  if (line.empty() || !files::IsBlankChar(line.back())) {
    return false;
  }
  const std::string_view text = files::TrimBlanks(line);
  if (text.empty()) {
    return false;
  }
  if (line.size() >= 2 && files::IsBlankChar(line[line.size() - 2])) {
    return true;
  }
  return text.find(" - ") == std::string_view::npos && !IsWrappedHead(text);
}

// The lines of a capture: ended by LF (CRs before it belong to the end), or by CR in a
// capture without any LF.
class RawLines {
 public:
  explicit RawLines(std::string_view capture)
      : capture_(capture), end_(capture.find('\n') != std::string_view::npos ? '\n' : '\r') {}

  bool AtEnd() const { return at_ >= capture_.size(); }
  std::string_view Next() {
    const void* found = std::memchr(capture_.data() + at_, end_, capture_.size() - at_);
    const std::size_t end =
        found == nullptr ? capture_.size() : static_cast<const char*>(found) - capture_.data();
    std::string_view line = capture_.substr(at_, end - at_);
    at_ = end + 1;
    while (end_ == '\n' && line.ends_with('\r')) {
      line.remove_suffix(1);
    }
    return line;
  }
  bool EndsWithLf() const { return end_ == '\n'; }

 private:
  std::string_view capture_;
  char end_;
  std::size_t at_ = 0;
};

// Whether a line holds a pager prompt or a log header that cleaning takes away. A prompt
// repaired by backspaces (IOS's) is left to the readers, which repair it as staging does.
bool HoldsPagerOrHeader(std::string_view line) {
  const std::string_view text = files::TrimLeadingBlanks(line);
  if (text.empty() || (text[0] != '-' && text[0] != '<' && text[0] != '=')) {
    return false;
  }
  if (text.starts_with(kLogHeader)) {
    return true;
  }
  return PagerPromptLength(text) > 0 && line.find('\b') == std::string_view::npos;
}

// Whether byte i of text is one the quick scan stops at: ESC; a CR but the one of a plain CR
// LF; a line end after a blank; the second character of "--" or "=~".
inline bool IsMark(std::string_view text, std::size_t i) {
  const char c = text[i];
  const char before = i > 0 ? text[i - 1] : '\n';
  const char after = i + 1 < text.size() ? text[i + 1] : '\0';
  switch (c) {
    case kEscape:
      return true;
    case '\r':
      return after != '\n' || before == '\r' || files::IsBlankChar(before);
    case '\n':
      return files::IsBlankChar(before);
    case '-':
      return before == '-';
    case '~':
      return before == '=';
    case '#':
    case '>':
    case '"':
      return true;  // what a prompt and NX-OS's table header hold, for the survey
    case 'o':
      return before == 'C';  // of "Codes:", where a legend begins
    default:
      return false;
  }
}

// The first offset from from on where IsMark holds, or text.size(); one byte at a time.
std::size_t NextMarkByByte(std::string_view text, std::size_t from) {
  while (from < text.size() && !IsMark(text, from)) {
    ++from;
  }
  return from;
}

#if defined(__SSE2__)
// The same, sixteen bytes at a time: the marks of a chunk as one mask, whose bytes compare with
// the byte before and after each (so the first byte and the last ones go one at a time).
std::size_t NextMarkSse2(std::string_view text, std::size_t from) {
  if (from == 0) {
    if (text.empty() || IsMark(text, 0)) {
      return 0;
    }
    from = 1;
  }
  const char* data = text.data();
  const auto is = [](__m128i v, char c) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(c)); };
  for (; from + 17 <= text.size(); from += 16) {
    const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + from - 1));
    const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + from));
    const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + from + 1));
    const __m128i cr = is(here, '\r');
    const __m128i blankBefore = _mm_or_si128(is(before, ' '), is(before, '\t'));
    __m128i marks = _mm_and_si128(_mm_or_si128(cr, is(here, '\n')), blankBefore);
    marks = _mm_or_si128(marks, _mm_andnot_si128(is(after, '\n'), cr));
    marks = _mm_or_si128(marks, _mm_and_si128(cr, is(before, '\r')));
    marks = _mm_or_si128(marks, _mm_and_si128(is(here, '-'), is(before, '-')));
    marks = _mm_or_si128(marks, _mm_and_si128(is(here, '~'), is(before, '=')));
    marks = _mm_or_si128(marks, is(here, kEscape));
    marks = _mm_or_si128(marks,
                         _mm_or_si128(_mm_or_si128(is(here, '#'), is(here, '>')), is(here, '"')));
    marks = _mm_or_si128(marks, _mm_and_si128(is(here, 'o'), is(before, 'C')));
    if (const auto mask = static_cast<unsigned>(_mm_movemask_epi8(marks)); mask != 0) {
      return from + static_cast<std::size_t>(__builtin_ctz(mask));
    }
  }
  return NextMarkByByte(text, from);
}
#endif

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KESTRELON_AVX2_SCAN 1
__attribute__((target("avx2"))) inline __m256i Is(__m256i bytes, char c) {
  return _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(c));
}

// The same, thirty-two bytes at a time, on a processor that has AVX2.
__attribute__((target("avx2"))) std::size_t NextMarkAvx2(std::string_view text, std::size_t from) {
  if (from == 0) {
    if (text.empty() || IsMark(text, 0)) {
      return 0;
    }
    from = 1;
  }
  const char* data = text.data();

  for (; from + 33 <= text.size(); from += 32) {
    const __m256i before = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + from - 1));
    const __m256i here = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + from));
    const __m256i after = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + from + 1));
    const __m256i cr = Is(here, '\r');
    const __m256i blankBefore = _mm256_or_si256(Is(before, ' '), Is(before, '\t'));
    __m256i marks = _mm256_and_si256(_mm256_or_si256(cr, Is(here, '\n')), blankBefore);
    marks = _mm256_or_si256(marks, _mm256_andnot_si256(Is(after, '\n'), cr));
    marks = _mm256_or_si256(marks, _mm256_and_si256(cr, Is(before, '\r')));
    marks = _mm256_or_si256(marks, _mm256_and_si256(Is(here, '-'), Is(before, '-')));
    marks = _mm256_or_si256(marks, _mm256_and_si256(Is(here, '~'), Is(before, '=')));
    marks = _mm256_or_si256(marks, Is(here, kEscape));
    marks = _mm256_or_si256(
        marks, _mm256_or_si256(_mm256_or_si256(Is(here, '#'), Is(here, '>')), Is(here, '"')));
    marks = _mm256_or_si256(marks, _mm256_and_si256(Is(here, 'o'), Is(before, 'C')));
    if (const auto mask = static_cast<unsigned>(_mm256_movemask_epi8(marks)); mask != 0) {
      return from + static_cast<std::size_t>(__builtin_ctz(mask));
    }
  }
  return NextMarkByByte(text, from);
}
#endif

// Calls check(i) at each offset i where IsMark holds, until one returns true; whether one did.
// Many bytes at a time: a large clean capture is passed over near memory speed.
template <typename Check>
bool FindMarks(std::string_view text, Check&& check) {
#if defined(KESTRELON_AVX2_SCAN)
  static const bool avx2 = __builtin_cpu_supports("avx2");
  const auto next = avx2 ? NextMarkAvx2 : NextMarkSse2;
#elif defined(__SSE2__)
  const auto next = NextMarkSse2;
#else
  const auto next = NextMarkByByte;
#endif
  for (std::size_t at = next(text, 0); at < text.size(); at = next(text, at + 1)) {
    if (check(at)) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::size_t TimeStampLength(std::string_view line, char* form) {
  if (line.empty()) {
    return 0;
  }
  std::size_t length = 0;
  const char open = line[0];
  const bool bracketed = open == '[' || open == '<' || open == '(';
  if (bracketed) {
    const char close = open == '[' ? ']' : open == '<' ? '>' : ')';
    const std::size_t end = line.substr(0, 64).find(close);
    if (end == std::string_view::npos) {
      return 0;
    }
    const std::string_view inside = line.substr(1, end - 1);
    for (const char c : inside) {
      const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
      if (!letter && !IsDigit(c) &&
          std::string_view(" :.,/+-_").find(c) == std::string_view::npos) {
        return 0;
      }
    }
    if (!HoldsTime(inside)) {
      return 0;
    }
    length = end + 1;
  } else {
    // Words of a date and time, one or two blanks apart ("Dec  7 21:47:26"), with a time
    // among them.
    bool time = false;
    std::size_t at = 0;
    for (int words = 0; words < 6 && at < line.size(); ++words) {
      const std::size_t end = std::min(line.find(' ', at), line.size());
      if (!IsStampWord(line.substr(at, end - at), time)) {
        break;
      }
      length = end;
      at = end + 1;
      if (at < line.size() && line[at] == ' ' && at + 1 < line.size() && IsDigit(line[at + 1])) {
        ++at;
      }
    }
    if (!time) {
      return 0;
    }
  }
  if (form != nullptr) {
    *form = bracketed ? open : '\0';
  }
  return length < line.size() && line[length] == ' ' ? length + 1 : length;
}

std::size_t PagerPromptLength(std::string_view text) {
  std::size_t i = 0;
  const auto skip = [&](char c) {
    std::size_t count = 0;
    while (i < text.size() && text[i] == c) {
      ++i;
      ++count;
    }
    return count;
  };
  const bool angled = skip('<') == 1;
  const std::size_t before = skip('-');
  skip(' ');
  const bool parenthesised = skip('(') == 1;
  skip(' ');
  if (i + 4 > text.size() || (text[i] != 'M' && text[i] != 'm') || text.substr(i + 1, 3) != "ore") {
    return 0;
  }
  i += 4;
  skip(' ');
  if (i < text.size() && IsDigit(text[i])) {  // "(more 42%)"
    while (i < text.size() && IsDigit(text[i])) {
      ++i;
    }
    if (skip('%') != 1) {
      return 0;
    }
  }
  if (parenthesised && skip(')') != 1) {
    return 0;
  }
  skip(' ');
  const std::size_t after = skip('-');
  if (angled && skip('>') != 1) {
    return 0;
  }
  return before >= 2 && after >= 2 ? i : 0;
}

bool NeedsCleaning(std::string_view capture, LogSurvey* survey) {
  const bool endsWithLf = capture.find('\n') != std::string_view::npos;
  const char end = endsWithLf ? '\n' : '\r';
  // The line around offset at, without its end.
  const auto lineAround = [&](std::size_t at) {
    std::size_t first = at;
    while (first > 0 && capture[first - 1] != end) {
      --first;
    }
    std::size_t last = at;
    while (last < capture.size() && capture[last] != end) {
      ++last;
    }
    std::string_view line = capture.substr(first, last - first);
    while (endsWithLf && line.ends_with('\r')) {
      line.remove_suffix(1);
    }
    return line;
  };
  // Whether what the quick scan found at offset at needs cleaning.
  const auto check = [&](std::size_t at) {
    switch (capture[at]) {
      case kEscape:
        return true;
      case '\r':
        if (endsWithLf && (at + 1 == capture.size() || capture[at + 1] != '\n' ||
                           (at > 0 && capture[at - 1] == '\r'))) {
          return true;  // a return to the first column, or a doubled line end
        }
        return HasPadding(lineAround(at));
      case '\n':
        return HasPadding(lineAround(at));
      case '-':
      case '~':  // "--" or "=~"
        return HoldsPagerOrHeader(lineAround(at));
      default:
        return false;
    }
  };
  // Notes where prompts and tables may begin; whether the scan must go on.
  const auto note = [&](std::size_t at, LogSurvey& noted) {
    switch (capture[at]) {
      case '#':
      case '>':
        // A prompt's host stands right before its mark: not so for a Junos next hop's "> to".
        if (at > 0 && capture[at - 1] != ' ' && capture[at - 1] != '\t' &&
            capture[at - 1] != '\n' && capture[at - 1] != '\r') {
          noted.promptMarks.push_back(at);
        }
        return true;
      case '"':
        noted.tableMarks.push_back(at);
        return true;
      case 'o':
        if (capture.substr(at - 1).starts_with("Codes:")) {
          noted.tableMarks.push_back(at - 1);
        }
        return true;
      default:
        return false;
    }
  };
  // A large capture is scanned in two halves at once, each ending when either finds a mark.
  std::atomic<bool> found = false;
  const auto scan = [&](std::size_t from, std::size_t to, LogSurvey& noted) {
    FindMarks(capture.substr(from, to - from), [&](std::size_t at) {
      if (found.load(std::memory_order_relaxed) || (!note(from + at, noted) && check(from + at))) {
        found = true;
      }
      return found.load(std::memory_order_relaxed);
    });
  };
  LogSurvey first;
  LogSurvey second;
  const std::size_t half =
      capture.size() >= kScannedInHalvesFrom ? capture.find(end, capture.size() / 2) : 0;
  if (half > 0 && half != std::string_view::npos) {
    // The second half starts a line, as the whole capture does.
    std::future<void> secondHalf =
        std::async(std::launch::async, [&] { scan(half + 1, capture.size(), second); });
    scan(0, half + 1, first);
    secondHalf.get();
  } else {
    scan(0, capture.size(), first);
  }
  if (found) {
    return true;
  }
  if (survey != nullptr) {
    survey->promptMarks = std::move(first.promptMarks);
    survey->promptMarks.insert(survey->promptMarks.end(), second.promptMarks.begin(),
                               second.promptMarks.end());
    survey->tableMarks = std::move(first.tableMarks);
    survey->tableMarks.insert(survey->tableMarks.end(), second.tableMarks.begin(),
                              second.tableMarks.end());
    survey->complete = true;
  }
  RawLines lines(capture);
  for (std::size_t looked = 0; looked < kStampLinesLooked && !lines.AtEnd();) {
    const std::string_view line = lines.Next();
    if (!IsBlankText(line)) {
      ++looked;
      if (TimeStampLength(line) > 0) {
        return true;
      }
    }
  }
  return false;
}

CleanedCapture::CleanedCapture(std::string_view capture) : capture_(capture), text_(capture) {
  if (!NeedsCleaning(capture, &survey_)) {
    return;
  }
  // The stamp of the capture: the form most of its lines start with, stripped only when
  // nearly every line with text carries it.
  std::array<std::size_t, 4> stamped{};
  constexpr std::string_view kForms("[<(", 4);  // and '\0', no bracket
  std::size_t withText = 0;
  for (RawLines lines(capture); !lines.AtEnd();) {
    const std::string_view line = lines.Next();
    char form = 0;
    if (!IsBlankText(line)) {
      ++withText;
      if (TimeStampLength(line, &form) > 0) {
        ++stamped[kForms.find(form)];
      }
    }
  }
  const auto most = std::max_element(stamped.begin(), stamped.end());
  const bool stripStamps = *most >= 2 && *most * 10 >= withText * 9;
  const char stampForm = kForms[static_cast<std::size_t>(most - stamped.begin())];

  cleaned_.reserve(capture.size());
  std::string shown;
  std::size_t number = 0;
  for (RawLines lines(capture); !lines.AtEnd();) {
    std::string_view line = lines.Next();
    ++number;
    char form = 0;
    if (const std::size_t stamp = stripStamps ? TimeStampLength(line, &form) : 0;
        stamp > 0 && form == stampForm) {
      line.remove_prefix(stamp);
    }
    if (line.find(kEscape) != std::string_view::npos || line.find('\r') != std::string_view::npos) {
      shown = ShowAsTerminal(line);
      line = shown;
    } else if (line.find('\b') != std::string_view::npos) {
      shown = routes::ApplyBackspaces(line);
      line = shown;
    }
    const std::string_view text = files::TrimLeadingBlanks(line);
    if (text.starts_with(kLogHeader)) {
      noise_.push_back(number);
    } else if (const std::size_t prompt = PagerPromptLength(text); prompt > 0) {
      // A prompt the log kept, with or without the blanks that overwrote it; what follows it
      // on the line is the next line's text.
      std::string_view rest = text.substr(prompt);
      const std::size_t covered = line.size() - text.size() + prompt;
      std::size_t blanks = 0;
      while (blanks < covered && blanks < rest.size() && rest[blanks] == ' ') {
        ++blanks;
      }
      rest.remove_prefix(blanks);
      if (IsBlankText(rest)) {
        noise_.push_back(number);
        rest = kPagerLine;
      }
      line = rest;
    }
    std::size_t end = line.size();
    while (end > 0 && files::IsBlankChar(line[end - 1])) {
      --end;
    }
    cleaned_.append(line.substr(0, end));
    if (end < line.size() && IsWrappedHead(line.substr(0, end))) {
      cleaned_.push_back(' ');
    }
    cleaned_.push_back('\n');
  }
  text_ = cleaned_;
}

void CleanedCapture::MarkNoise(LineAccount& account, std::size_t firstLine,
                               std::string_view part) const {
  if (noise_.empty()) {
    return;
  }
  const std::size_t lines = static_cast<std::size_t>(std::count(part.begin(), part.end(), '\n')) +
                            (part.empty() || part.ends_with('\n') ? 0 : 1);
  for (const std::size_t line : noise_) {
    if (line >= firstLine && line < firstLine + lines) {
      account.Preset(line - firstLine + 1, LineKind::kPager);
    }
  }
}

}  // namespace kestrelon::tables
