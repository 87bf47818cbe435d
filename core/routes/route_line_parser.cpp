#include "routes/route_line_parser.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "files/utf8_text.h"

namespace kestrelon::routes {
namespace {

// A character read beyond the end of the line: equal to nothing, not a digit.
constexpr std::uint32_t kEnd = 0xFFFFFFFFu;

// Reads that the caller has checked to lie inside the line.
class UncheckedChars {
 public:
  explicit UncheckedChars(const unsigned char* data) : data_(data) {}
  std::uint32_t operator[](std::size_t i) const { return data_[i]; }

 private:
  const unsigned char* data_;
};

// Where the next-hop rule's texts stand in a line.
struct HopMarkers {
  bool zeroHop = false;                      // "subnetted," or " is directly connected,"
  std::size_t via = std::string_view::npos;  // the first " via "
};

// Checks the "," or "v" at p: both texts that give the zero hop end with ",", and " via " is
// found by its "v", characters that route lines hold few of.
void CheckCandidate(std::string_view text, std::size_t p, HopMarkers& markers) {
  const char* data = text.data();
  if (data[p] == ',') {
    markers.zeroHop = markers.zeroHop ||
                      (p >= 9 && std::memcmp(data + p - 9, "subnetted", 9) == 0) ||
                      (p >= 22 && std::memcmp(data + p - 22, " is directly connected", 22) == 0);
  } else if (markers.via == std::string_view::npos && p >= 1 && data[p - 1] == ' ' &&
             p + 4 <= text.size() && std::memcmp(data + p, "via ", 4) == 0) {
    markers.via = p - 1;
  }
}

// One pass over the line: whether it is all ASCII and, for an ASCII line, the hop markers.
bool ScanLine(std::string_view text, HopMarkers& markers) {
  const char* data = text.data();
  const std::size_t size = text.size();
  std::size_t i = 0;
#if defined(__SSE2__)
  if (size >= 16) {
    const __m128i comma = _mm_set1_epi8(',');
    const __m128i vee = _mm_set1_epi8('v');
    __m128i high = _mm_setzero_si128();
    const auto scan = [&](std::size_t at, unsigned skip) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
      high = _mm_or_si128(high, chunk);
      auto mask = static_cast<unsigned>(_mm_movemask_epi8(
          _mm_or_si128(_mm_cmpeq_epi8(chunk, comma), _mm_cmpeq_epi8(chunk, vee))));
      mask &= ~0u << skip;
      while (mask != 0) {
        CheckCandidate(text, at + static_cast<std::size_t>(__builtin_ctz(mask)), markers);
        mask &= mask - 1;
      }
    };
    for (; i + 16 <= size; i += 16) {
      scan(i, 0);
    }
    if (i < size) {  // the last bytes, in a chunk that overlaps the one before
      scan(size - 16, static_cast<unsigned>(i - (size - 16)));
    }
    return _mm_movemask_epi8(high) == 0;
  }
#endif
  unsigned char any = 0;
  for (; i < size; ++i) {
    any |= static_cast<unsigned char>(data[i]);
    if (data[i] == ',' || data[i] == 'v') {
      CheckCandidate(text, i, markers);
    }
  }
  return any < 0x80;
}

// Characters of an all-ASCII line, straight from its bytes.
class AsciiChars {
 public:
  static constexpr bool kBytes = true;
  AsciiChars(std::string_view text, const HopMarkers& markers) : text_(text), markers_(markers) {}
  std::size_t size() const { return text_.size(); }
  std::uint32_t operator[](std::size_t i) const {
    return i < text_.size() ? static_cast<unsigned char>(text_[i]) : kEnd;
  }
  UncheckedChars Unchecked() const {
    return UncheckedChars(reinterpret_cast<const unsigned char*>(text_.data()));
  }
  const HopMarkers& FindHopMarkers() const { return markers_; }
  std::size_t ByteOffset(std::size_t i) const { return std::min(i, text_.size()); }

 private:
  std::string_view text_;
  HopMarkers markers_;
};

// Characters of a line with non-ASCII bytes, decoded once.
class DecodedChars {
 public:
  static constexpr bool kBytes = false;
  explicit DecodedChars(std::string_view text) {
    chars_.reserve(text.size());
    offsets_.reserve(text.size() + 1);
    for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
      offsets_.push_back(i);
      chars_.push_back(files::DecodeChar(text, i, length));
    }
    offsets_.push_back(text.size());
  }
  std::size_t ByteOffset(std::size_t i) const { return offsets_[std::min(i, chars_.size())]; }
  std::size_t size() const { return chars_.size(); }
  std::uint32_t operator[](std::size_t i) const { return i < chars_.size() ? chars_[i] : kEnd; }
  HopMarkers FindHopMarkers() const {
    HopMarkers markers;
    markers.zeroHop = find("subnetted,") != std::string_view::npos ||
                      find(" is directly connected,") != std::string_view::npos;
    markers.via = find(" via ");
    return markers;
  }

 private:
  std::size_t find(std::string_view needle) const {
    if (needle.size() > chars_.size()) {
      return std::string_view::npos;
    }
    for (std::size_t i = 0; i + needle.size() <= chars_.size(); ++i) {
      std::size_t k = 0;
      while (k < needle.size() && chars_[i + k] == static_cast<unsigned char>(needle[k])) {
        ++k;
      }
      if (k == needle.size()) {
        return i;
      }
    }
    return std::string_view::npos;
  }

  std::vector<std::uint32_t> chars_;
  std::vector<std::size_t> offsets_;
};

bool IsDigit(std::uint32_t c) {
  return c - '0' <= 9u;  // kEnd wraps to a large value
}

// Reads a dotted quad starting at cursor (0-based). Octets 1-3 end with "."; octet 4 with one of
// the accepted terminators (kEnd stands for the end of the line). On success the cursor stands
// after the terminator, which is returned in terminator.
template <typename Chars, typename Accepts>
bool ReadDottedQuad(const Chars& chars, std::size_t& cursor, Accepts accepts,
                    std::array<std::int32_t, 4>& octets, std::uint32_t& terminator) {
  bool valid = true;
  for (int n = 0; n < 4; ++n) {
    std::uint32_t c = chars[cursor++];
    if (!IsDigit(c)) {
      return false;
    }
    std::int32_t octet = static_cast<std::int32_t>(c - '0');
    c = chars[cursor++];
    if (IsDigit(c)) {
      octet = octet * 10 + static_cast<std::int32_t>(c - '0');
      c = chars[cursor++];
      if (IsDigit(c)) {
        octet = octet * 10 + static_cast<std::int32_t>(c - '0');
        c = chars[cursor++];
      }
    }
    if (n < 3) {
      if (c != '.') {
        return false;
      }
    } else {
      if (!accepts(c)) {
        return false;
      }
      terminator = c;
    }
    if (octet > 255) {
      valid = false;
    }
    octets[n] = octet;
  }
  return valid;
}

// The same, without a bounds test per character when the longest quad (16 characters with its
// terminator) fits in the line.
template <typename Chars, typename Accepts>
bool ReadQuadAt(const Chars& chars, std::size_t& cursor, Accepts accepts,
                std::array<std::int32_t, 4>& octets, std::uint32_t& terminator) {
  if constexpr (Chars::kBytes) {
    if (cursor + 16 <= chars.size()) {
      return ReadDottedQuad(chars.Unchecked(), cursor, accepts, octets, terminator);
    }
  }
  return ReadDottedQuad(chars, cursor, accepts, octets, terminator);
}

// The prefix length of a "/nn" mask at cursor, or -1; end is set past its digits.
template <typename Chars>
int ReadPrefixMask(const Chars& chars, std::size_t cursor, std::size_t& end) {
  const std::uint32_t d1 = chars[cursor];
  if (!IsDigit(d1)) {
    return -1;
  }
  const std::uint32_t c2 = chars[cursor + 1];
  end = cursor + 1;
  if (c2 == ' ') {
    return static_cast<int>(d1 - '0');
  }
  if (IsDigit(c2)) {
    end = cursor + 2;
    if (chars[cursor + 2] == ' ') {
      return static_cast<int>((d1 - '0') * 10 + (c2 - '0'));
    }
  }
  return -1;
}

// The length of a hexadecimal mask whose eight digits start at cursor, or -1.
template <typename Chars>
int ReadHexMask(const Chars& chars, std::size_t cursor, std::size_t& end) {
  end = cursor + 8;
  int length = 0;
  for (std::size_t k = 0; k < 8; ++k) {
    std::uint32_t c = chars[cursor + k];
    if (c >= 'a' && c <= 'z') {
      c -= 'a' - 'A';
    }
    if (c == 'F') {
      length += 4;
      continue;
    }
    if (c == 'E') {
      length += 3;
    } else if (c == 'C') {
      length += 2;
    } else if (c == '8') {
      length += 1;
    } else if (c != '0') {
      return -1;
    }
    break;
  }
  return chars[cursor + 8] == ' ' ? length : -1;
}

// The length of a dotted-decimal mask that starts at dot (0-based), where the character at dot
// is read as "." whatever the line holds there.
template <typename Chars>
int ReadDottedMask(const Chars& chars, std::size_t dot, std::size_t& end) {
  struct Token {
    char text[4];
    int bits;
  };
  static constexpr Token kTokens[] = {{{'.', '1', '2', '8'}, 1}, {{'.', '1', '9', '2'}, 2},
                                      {{'.', '2', '2', '4'}, 3}, {{'.', '2', '4', '0'}, 4},
                                      {{'.', '2', '4', '8'}, 5}, {{'.', '2', '5', '2'}, 6},
                                      {{'.', '2', '5', '4'}, 7}, {{'.', '2', '5', '5'}, 8}};
  const auto at = [&](std::size_t i) -> std::uint32_t { return i == dot ? '.' : chars[i]; };
  int length = 0;
  std::size_t pos = dot;
  for (int octet = 0; octet < 4; ++octet) {
    if (at(pos) == '.' && at(pos + 1) == '0') {
      pos += 2;
      continue;
    }
    bool matched = false;
    for (const Token& token : kTokens) {
      if (at(pos) == static_cast<unsigned char>(token.text[0]) &&
          at(pos + 1) == static_cast<unsigned char>(token.text[1]) &&
          at(pos + 2) == static_cast<unsigned char>(token.text[2]) &&
          at(pos + 3) == static_cast<unsigned char>(token.text[3])) {
        length += token.bits;
        pos += 4;
        matched = true;
        break;
      }
    }
    if (!matched) {
      return -1;
    }
  }
  end = pos;
  return at(pos) == ' ' ? length : -1;
}

// The line's own mask length, read right after the destination's terminator, or -1. end is
// set past the mask's text when it has one.
template <typename Chars>
int ReadMask(const Chars& chars, std::size_t cursor, std::uint32_t terminator, std::size_t& end) {
  end = cursor;
  std::size_t maskEnd = cursor;
  int length = -1;
  if (terminator == '/') {
    length = ReadPrefixMask(chars, cursor, maskEnd);
  } else {
    const std::uint32_t a = chars[cursor];
    const std::uint32_t b = chars[cursor + 1];
    if (a == '0' && b == 'x') {
      length = ReadHexMask(chars, cursor + 2, maskEnd);
    } else if ((a == '2' && (b == '4' || b == '5' || b == '2')) ||
               (a == '1' && (b == '9' || b == '2')) || (a == '0' && b == '.')) {
      length = ReadDottedMask(chars, cursor - 1, maskEnd);
    }
  }
  if (length >= 0) {
    end = maskEnd;
  }
  return length;
}

template <typename Chars>
void ReadNextHop(const Chars& chars, ParsedLine& out) {
  const HopMarkers& markers = chars.FindHopMarkers();
  if (markers.zeroHop) {
    out.HopHigh = 0;
    out.HopLow = 0;
    return;
  }
  if (markers.via == std::string_view::npos) {
    return;  // stays kNoAddress
  }
  std::size_t cursor = markers.via + 5;
  std::array<std::int32_t, 4> octets{};
  std::uint32_t terminator = 0;
  if (ReadQuadAt(
          chars, cursor, [](std::uint32_t c) { return c == ',' || c == kEnd; }, octets,
          terminator)) {
    out.HopHigh = octets[0] * 256 + octets[1];
    out.HopLow = octets[2] * 256 + octets[3];
  }
}

// Reads one line; returns false when it is not a route. For the compare (forCompare) the next
// hop is not read, and a destination may also end the line: the destination cuts leave lines
// such as "O       10.1.1.0", which must still be entries, or a compare with those filters would
// find every pair of tables equal.
template <Reading reading, typename Chars>
bool ParseRoute(const Chars& chars, std::int16_t& carriedMaskLen, ParsedLine& out,
                RouteLineLayout* layout) {
  constexpr bool forCompare = reading == Reading::kCompare;
  const std::uint32_t c1 = chars[0];
  const std::uint32_t c2 = chars[1];
  std::size_t cursor;
  const std::uint32_t c5 = chars[4];
  if (c1 != ' ' && (c2 == ' ' || c2 == '*') && IsCodeLineColumn5(c5)) {
    out.CodeKey = 0;
    for (std::size_t i = 0; i < 4; ++i) {
      out.CodeKey = out.CodeKey * 128 + static_cast<std::int32_t>(chars[i] & 127);
    }
    cursor = c5 == ' ' ? 4 : 5;  // a flag is read past, not taken for a blank
  } else if (c1 == ' ' && c2 == ' ') {
    cursor = 0;
  } else {
    return false;
  }
  while (chars[cursor] == ' ' || chars[cursor] == '*') {
    ++cursor;
  }
  if (cursor >= chars.size()) {
    return false;
  }
  if (cursor >= 20 && IsDigit(chars[20])) {
    bool twentyBlanks = true;
    for (std::size_t i = 0; i < 20 && twentyBlanks; ++i) {
      twentyBlanks = chars[i] == ' ';
    }
    if (twentyBlanks) {
      return false;
    }
  }
  std::array<std::int32_t, 4> octets{};
  std::uint32_t terminator = 0;
  const std::size_t destination = cursor;
  if (!ReadQuadAt(
          chars, cursor,
          [](std::uint32_t c) { return c == '/' || c == ' ' || (forCompare && c == kEnd); }, octets,
          terminator)) {
    return false;
  }
  out.DestHigh = octets[0] * 256 + octets[1];
  out.DestLow = octets[2] * 256 + octets[3];

  std::size_t maskEnd = cursor;
  const int mask = ReadMask(chars, cursor, terminator, maskEnd);
  if (mask >= 0 && mask <= 32) {
    carriedMaskLen = static_cast<std::int16_t>(mask);
  }
  if constexpr (reading == Reading::kLayout) {
    layout->codeLine = out.CodeKey != kNoCode;
    layout->destinationBegin = chars.ByteOffset(destination);
    layout->destinationEnd = chars.ByteOffset(cursor - 1);
    layout->ownMask = mask >= 0 && mask <= 32 ? mask : -1;
    layout->printedLength = -1;
    if (terminator == '/' && IsDigit(chars[cursor])) {
      layout->printedLength = static_cast<int>(chars[cursor] - '0');
      if (IsDigit(chars[cursor + 1])) {
        layout->printedLength =
            layout->printedLength * 10 + static_cast<int>(chars[cursor + 1] - '0');
        maskEnd = std::max(maskEnd, cursor + 2);
      } else {
        maskEnd = std::max(maskEnd, cursor + 1);
      }
    }
    layout->pathBegin = chars.ByteOffset(maskEnd);
  }
  out.MaskKey = static_cast<std::int16_t>(carriedMaskLen == 0 ? 0 : carriedMaskLen - 1);
  if constexpr (reading == Reading::kSort) {
    ReadNextHop(chars, out);
  }
  return true;
}

// The compare's and the layout's reading of the shape nearly every route line has, straight
// from the bytes: a code in columns 1 to 4, blanks, the destination, "/", a prefix length of one
// or two digits and a blank. Any other line (or any doubt) returns false and takes the general
// way, which gives the same results for the lines taken here: they are ASCII up to the last
// character read, and nothing after it is read. With layout, also says where the parts stand.
bool ReadCommonRoute(std::string_view text, std::int16_t& carriedMaskLen, ParsedLine& out,
                     RouteLineLayout* layout = nullptr) {
  const auto digit = [](unsigned char c) { return c >= '0' && c <= '9'; };
  const auto* b = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  if (size < 16 || (b[0] | b[1] | b[2] | b[3] | b[4]) >= 0x80 || b[0] == ' ' ||
      (b[1] != ' ' && b[1] != '*') || !IsCodeLineColumn5(b[4])) {
    return false;
  }
  std::size_t at = b[4] == ' ' ? 4 : 5;
  while (at < size && (b[at] == ' ' || b[at] == '*')) {
    ++at;
  }
  if (at >= 20 || at + 16 > size) {
    return false;  // the rule of twenty blanks, or too close to the end: the general way
  }
  const std::size_t destination = at;
  std::int32_t octets[4];
  for (int n = 0; n < 4; ++n) {
    if (!digit(b[at])) {
      return false;
    }
    std::uint32_t value = b[at] - '0';
    for (int digits = 1; digits < 3 && digit(b[at + 1]); ++digits) {
      value = value * 10 + (b[++at] - '0');
    }
    ++at;
    if (value > 255 || b[at] != (n < 3 ? '.' : '/')) {
      return false;
    }
    ++at;
    octets[n] = static_cast<std::int32_t>(value);
  }
  // The prefix length: one digit and a blank, or two digits and a blank.
  int mask;
  if (at + 2 >= size || !digit(b[at])) {
    return false;
  }
  std::size_t maskEnd = at + 1;
  if (b[at + 1] == ' ') {
    mask = b[at] - '0';
  } else if (digit(b[at + 1]) && b[at + 2] == ' ') {
    mask = (b[at] - '0') * 10 + (b[at + 1] - '0');
    maskEnd = at + 2;
  } else {
    return false;
  }
  if (layout != nullptr) {
    layout->codeLine = true;
    layout->destinationBegin = destination;
    layout->destinationEnd = at - 1;  // the "/"
    layout->ownMask = mask <= 32 ? mask : -1;
    layout->printedLength = mask;
    layout->pathBegin = maskEnd;
  }
  out.CodeKey = static_cast<std::int32_t>((b[0] << 21) | (b[1] << 14) | (b[2] << 7) | b[3]);
  out.DestHigh = octets[0] * 256 + octets[1];
  out.DestLow = octets[2] * 256 + octets[3];
  if (mask <= 32) {
    carriedMaskLen = static_cast<std::int16_t>(mask);
  }
  out.MaskKey = static_cast<std::int16_t>(carriedMaskLen == 0 ? 0 : carriedMaskLen - 1);
  return true;
}

}  // namespace

template <Reading reading>
ParsedLine RouteLineParser::ParseLine(std::string_view LineText, std::int16_t& LineState,
                                      RouteLineLayout* layout) {
  if (LineState == kLineStateReset) {
    CarriedMaskLen_ = 0;
    LineState = 1;
  }
  ParsedLine out;
  bool route;
  if constexpr (reading != Reading::kSort) {
    if (ParsedLine common; ReadCommonRoute(LineText, CarriedMaskLen_, common, layout)) {
      LineState = 2;
      return common;
    }
  }
  if constexpr (reading != Reading::kSort) {
    route =
        files::IsAscii(LineText)
            ? ParseRoute<reading>(AsciiChars(LineText, HopMarkers{}), CarriedMaskLen_, out, layout)
            : ParseRoute<reading>(DecodedChars(LineText), CarriedMaskLen_, out, layout);
  } else {
    HopMarkers markers;
    route = ScanLine(LineText, markers)
                ? ParseRoute<reading>(AsciiChars(LineText, markers), CarriedMaskLen_, out, layout)
                : ParseRoute<reading>(DecodedChars(LineText), CarriedMaskLen_, out, layout);
  }
  if (route) {
    LineState = 2;
    return out;
  }
  ParsedLine none;
  none.MaskKey = static_cast<std::int16_t>(CarriedMaskLen_ - 1);
  LineState = static_cast<std::int16_t>(LineState | 1);
  return none;
}

ParsedLine RouteLineParser::Parse(std::string_view LineText, std::int16_t& LineState) {
  return ParseLine<Reading::kSort>(LineText, LineState);
}

ParsedLine RouteLineParser::ParseDestination(std::string_view LineText, std::int16_t& LineState) {
  return ParseLine<Reading::kCompare>(LineText, LineState);
}

ParsedLine RouteLineParser::ParseLayout(std::string_view LineText, std::int16_t& LineState,
                                        RouteLineLayout& layout) {
  return ParseLine<Reading::kLayout>(LineText, LineState, &layout);
}

void RouteLineParser::ParseRouteLine(std::string_view LineText, std::int32_t& DestHigh,
                                     std::int32_t& DestLow, std::int32_t& HopHigh,
                                     std::int32_t& HopLow, std::int32_t& CodeKey,
                                     std::int16_t& MaskKey, std::int16_t& LineState) {
  const ParsedLine out = Parse(LineText, LineState);
  DestHigh = out.DestHigh;
  DestLow = out.DestLow;
  HopHigh = out.HopHigh;
  HopLow = out.HopLow;
  CodeKey = out.CodeKey;
  MaskKey = out.MaskKey;
}

}  // namespace kestrelon::routes
