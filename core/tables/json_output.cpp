#include "tables/json_output.h"

#include <rapidjson/writer.h>

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "files/utf8_text.h"
#include "tables/address_text.h"

namespace kestrelon::tables {
namespace {

// Bytes a JSON string holds as they are: printable ASCII but the quote and the backslash.
constexpr auto kPlain = [] {
  std::array<bool, 256> table{};
  for (int c = 0x20; c < 0x7F; ++c) {
    table[static_cast<std::size_t>(c)] = c != '"' && c != '\\';
  }
  return table;
}();

bool IsPlainChar(char c) {
  return kPlain[static_cast<unsigned char>(c)];
}

// Whether no byte of an eight-byte word needs escaping, with the word tests of "Bit Twiddling
// Hacks": no byte below the blank, none from 0x80 up, none that is the quote, the backslash or
// DEL.
bool IsPlainWord(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
  const auto hasZero = [](std::uint64_t x) { return (x - kOnes) & ~x & kHigh; };
  const std::uint64_t below = (word - kOnes * 0x20) & ~word & kHigh;
  return (below | (word & kHigh) | hasZero(word ^ (kOnes * '"')) | hasZero(word ^ (kOnes * '\\')) |
          hasZero(word ^ (kOnes * 0x7F))) == 0;
}

// Whether no byte of text needs escaping; sixteen bytes at a time.
bool IsPlain(std::string_view text) {
  const char* data = text.data();
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i space = _mm_set1_epi8(' ');
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i backslash = _mm_set1_epi8('\\');
  const __m128i del = _mm_set1_epi8(0x7F);
  for (; i + 16 <= text.size(); i += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    // A signed compare: bytes from 0x80 up are below the blank too.
    const __m128i bad =
        _mm_or_si128(_mm_or_si128(_mm_cmplt_epi8(chunk, space), _mm_cmpeq_epi8(chunk, quote)),
                     _mm_or_si128(_mm_cmpeq_epi8(chunk, backslash), _mm_cmpeq_epi8(chunk, del)));
    if (_mm_movemask_epi8(bad) != 0) {
      return false;
    }
  }
#endif
  for (; i < text.size(); ++i) {
    if (!IsPlainChar(data[i])) {
      return false;
    }
  }
  return true;
}

// rapidjson's output stream over a ByteSink, through a buffer of its own. The writer reserves
// room for a whole string before it writes it (PutReserve, PutUnsafe below, found by
// argument-dependent lookup), so most characters cost no test of the buffer's end.
class BufferedStream {
 public:
  using Ch = char;
  explicit BufferedStream(ByteSink& out) : out_(out), buffer_(kSize) {}
  void Put(char c) {
    if (used_ == buffer_.size()) {
      Flush();
    }
    buffer_[used_++] = c;
  }
  void PutUnchecked(char c) { buffer_[used_++] = c; }
  void Reserve(std::size_t count) {
    if (used_ + count > buffer_.size()) {
      MakeRoom(count);
    }
  }
  void MakeRoom(std::size_t count) {
    Flush();
    if (count > buffer_.size()) {
      buffer_.resize(count);
    }
  }
  void Raw(std::string_view bytes) {
    if (bytes.size() >= kSize / 2) {  // a piece written elsewhere: passed on, not copied
      Flush();
      out_.Write(bytes);
      return;
    }
    Reserve(bytes.size());
    if (!bytes.empty()) {  // an empty view may carry a null pointer, which memcpy must not see
      std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
    }
    used_ += bytes.size();
  }
  // Bytes known when compiling: copied without a call.
  template <std::size_t N>
  void Literal(const char (&bytes)[N]) {
    Reserve(N - 1);
    std::memcpy(buffer_.data() + used_, bytes, N - 1);
    used_ += N - 1;
  }
  // text between quotes when it needs no escaping (printable ASCII but the quote and the
  // backslash); false, with nothing written, otherwise.
  bool TryQuoted(std::string_view text) {
    const std::size_t size = text.size();
    Reserve(size + 2);
    char* at = buffer_.data() + used_;
    const char* from = text.data();
    if (size >= 8 && size <= 16) {  // most texts: two words that overlap, inside the text
      std::uint64_t head;
      std::uint64_t tail;
      std::memcpy(&head, from, 8);
      std::memcpy(&tail, from + size - 8, 8);
      if (!IsPlainWord(head) || !IsPlainWord(tail)) {
        return false;
      }
      std::memcpy(at + 1, &head, 8);
      std::memcpy(at + 1 + size - 8, &tail, 8);
    } else if (size >= 4 && size < 8) {
      std::uint32_t head;
      std::uint32_t tail;
      std::memcpy(&head, from, 4);
      std::memcpy(&tail, from + size - 4, 4);
      if (!IsPlainWord(std::uint64_t{head} << 32 | tail)) {
        return false;
      }
      std::memcpy(at + 1, &head, 4);
      std::memcpy(at + 1 + size - 4, &tail, 4);
    } else if (size < 4) {
      for (std::size_t i = 0; i < size; ++i) {
        if (!IsPlainChar(from[i])) {
          return false;
        }
        at[1 + i] = from[i];
      }
    } else {
      if (!IsPlain(text)) {
        return false;
      }
      std::memcpy(at + 1, from, size);
    }
    at[0] = '"';
    at[size + 1] = '"';
    used_ += size + 2;
    return true;
  }
  void Number(std::uint64_t value) {
    Reserve(20);
    char* at = buffer_.data() + used_;
    used_ += static_cast<std::size_t>(std::to_chars(at, at + 20, value).ptr - at);
  }
  void Flush() {
    if (used_ > 0) {
      out_.Write({buffer_.data(), used_});
      used_ = 0;
    }
  }

 private:
  static constexpr std::size_t kSize = 1 << 20;
  ByteSink& out_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
};

[[maybe_unused]] void PutReserve(BufferedStream& stream, std::size_t count) {
  stream.Reserve(count);
}
[[maybe_unused]] void PutUnsafe(BufferedStream& stream, char c) {
  stream.PutUnchecked(c);
}

}  // namespace

class JsonOutput::Impl {
 public:
  explicit Impl(ByteSink& out) : stream_(out), writer_(stream_) {}

  void Raw(std::string_view bytes) { stream_.Raw(bytes); }

  void Text(std::string_view text) {
    if (!stream_.TryQuoted(text)) {  // most texts: nothing to escape, copied as they are
      Escaped(text);
    }
  }

  void Optional(const OptionalText& text) {
    if (text) {
      Text(*text);
    } else {
      Null();
    }
  }

  void Number(std::uint64_t value) { stream_.Number(value); }

  void Null() { stream_.Literal("null"); }

  // The record's fixed keys and punctuation are the same for every route; every value goes
  // through the writer, which quotes and escapes it.
  void Record(const RouteView& route) {
    stream_.Literal("{\"vrf\":");
    Text(route.vrf);
    if (route.afi == Afi::kIpv4) {
      stream_.Literal(",\"afi\":\"ipv4\"");
    } else {
      stream_.Literal(",\"afi\":\"ipv6\"");
    }
    stream_.Literal(",\"protocol\":");
    Text(route.protocol);
    stream_.Literal(",\"source\":\"");
    stream_.Raw(SourceName(route.source));  // a name of the vocabulary: nothing to escape
    stream_.Literal("\",\"flags\":");
    Text(route.flags);
    if (!route.selected) {
      stream_.Literal(",\"selected\":null");
    } else if (*route.selected) {
      stream_.Literal(",\"selected\":true");
    } else {
      stream_.Literal(",\"selected\":false");
    }
    stream_.Literal(",\"prefix\":");
    Text(route.prefix);
    stream_.Literal(",\"distance\":");
    route.distance ? Number(*route.distance) : Null();
    stream_.Literal(",\"metric\":");
    route.metric ? Number(*route.metric) : Null();
    stream_.Literal(",\"next_hops\":[");
    for (std::size_t i = 0; i < route.nextHops.size(); ++i) {
      const NextHopView& hop = route.nextHops[i];
      if (i > 0) {
        stream_.Literal(",");
      }
      stream_.Literal("{\"address\":");
      if (const auto canonical = hop.address ? CanonicalIpv6(*hop.address) : std::nullopt) {
        Text(*canonical);
      } else {
        Optional(hop.address);
      }
      stream_.Literal(",\"interface\":");
      Optional(hop.interface);
      stream_.Literal(",\"vrf\":");
      Optional(hop.vrf);
      stream_.Literal("}");
    }
    stream_.Literal("],\"uptime\":");
    Optional(route.uptime);
    stream_.Literal("}");
  }

  void Flush() { stream_.Flush(); }

 private:
  // A text that needs escaping, or that is made valid UTF-8 first, through the writer.
  void Escaped(std::string_view text);

  // The writer, ready for one value.
  void Value() { writer_.Reset(stream_); }

  BufferedStream stream_;
  rapidjson::Writer<BufferedStream> writer_;
  std::string valid_;
};

void JsonOutput::Impl::Escaped(std::string_view text) {
  Value();
  if (!files::IsAscii(text)) {
    valid_.clear();
    for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
      const std::uint32_t c = files::DecodeChar(text, i, length);
      if (length == 1 && c >= 0x80) {
        valid_.append("\xEF\xBF\xBD");
      } else {
        valid_.append(text.substr(i, length));
      }
    }
    text = valid_;
  }
  writer_.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
}

JsonOutput::JsonOutput(ByteSink& out) : impl_(std::make_unique<Impl>(out)) {}
JsonOutput::~JsonOutput() = default;

void JsonOutput::Raw(std::string_view bytes) {
  impl_->Raw(bytes);
}
void JsonOutput::Text(std::string_view text) {
  impl_->Text(text);
}
void JsonOutput::Optional(const OptionalText& text) {
  impl_->Optional(text);
}
void JsonOutput::Number(std::uint64_t value) {
  impl_->Number(value);
}
void JsonOutput::Null() {
  impl_->Null();
}
void JsonOutput::Record(const RouteView& route) {
  impl_->Record(route);
}
void JsonOutput::Reading(const ReadingReport& reading) {
  Raw("{\"platform\":");
  Text(PlatformName(reading.platform));
  Raw(",\"decided_by\":");
  Text(reading.decidedBy);
  Raw(",\"lines\":");
  Number(reading.lines.lines());
  Raw(",\"not_understood\":");
  Number(reading.lines.notUnderstood());
  Raw(",\"examples\":[");
  bool first = true;
  for (const LineExample& example : reading.lines.examples()) {
    Raw(first ? "{\"line\":" : ",{\"line\":");
    Number(example.line);
    Raw(",\"text\":");
    Text(example.text);
    Raw("}");
    first = false;
  }
  Raw("]}");
}
void JsonOutput::Flush() {
  impl_->Flush();
}

}  // namespace kestrelon::tables
