#include "tables/json_output.h"

#include <rapidjson/writer.h>

#include <array>
#include <charconv>
#include <cstring>
#include <string>
#include <vector>

#include "files/utf8_text.h"

namespace kestrelon::tables {
namespace {

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
      Flush();
      if (count > buffer_.size()) {
        buffer_.resize(count);
      }
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
  // A text that needs no escaping, between quotes.
  void Quoted(std::string_view text) {
    Reserve(text.size() + 2);
    char* at = buffer_.data() + used_;
    *at = '"';
    if (!text.empty()) {
      std::memcpy(at + 1, text.data(), text.size());
    }
    at[text.size() + 1] = '"';
    used_ += text.size() + 2;
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

// Bytes a JSON string holds as they are: printable ASCII but the quote and the backslash.
constexpr auto kPlain = [] {
  std::array<bool, 256> table{};
  for (int c = 0x20; c < 0x7F; ++c) {
    table[static_cast<std::size_t>(c)] = c != '"' && c != '\\';
  }
  return table;
}();

bool IsPlain(std::string_view text) {
  for (const char c : text) {
    if (!kPlain[static_cast<unsigned char>(c)]) {
      return false;
    }
  }
  return true;
}

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
    if (IsPlain(text)) {  // most texts: nothing to escape, copied as they are
      stream_.Quoted(text);
      return;
    }
    Value();
    if (!routes::IsAscii(text)) {
      valid_.clear();
      for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
        const std::uint32_t c = routes::DecodeChar(text, i, length);
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

  void Optional(const OptionalText& text) {
    if (text) {
      Text(*text);
    } else {
      Null();
    }
  }

  void Number(std::uint64_t value) {
    char digits[24];
    stream_.Raw({digits, static_cast<std::size_t>(
                             std::to_chars(digits, digits + sizeof digits, value).ptr - digits)});
  }

  void Null() { stream_.Raw("null"); }

  // The record's fixed keys and punctuation are the same for every route; every value goes
  // through the writer, which quotes and escapes it.
  void Record(const RouteView& route) {
    stream_.Raw("{\"vrf\":");
    Text(route.vrf);
    stream_.Raw(",\"afi\":");
    Text(AfiName(route.afi));
    stream_.Raw(",\"protocol\":");
    Text(route.protocol);
    stream_.Raw(",\"flags\":");
    Text(route.flags);
    stream_.Raw(",\"prefix\":");
    Text(route.prefix);
    stream_.Raw(",\"distance\":");
    route.distance ? Number(*route.distance) : Null();
    stream_.Raw(",\"metric\":");
    route.metric ? Number(*route.metric) : Null();
    stream_.Raw(",\"next_hops\":[");
    for (std::size_t i = 0; i < route.nextHops.size(); ++i) {
      const NextHopView& hop = route.nextHops[i];
      stream_.Raw(i > 0 ? ",{\"address\":" : "{\"address\":");
      Optional(hop.address);
      stream_.Raw(",\"interface\":");
      Optional(hop.interface);
      stream_.Raw(",\"vrf\":");
      Optional(hop.vrf);
      stream_.Raw("}");
    }
    stream_.Raw("],\"uptime\":");
    Optional(route.uptime);
    stream_.Raw("}");
  }

  void Flush() { stream_.Flush(); }

 private:
  // The writer, ready for one value.
  void Value() { writer_.Reset(stream_); }

  BufferedStream stream_;
  rapidjson::Writer<BufferedStream> writer_;
  std::string valid_;
};

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
void JsonOutput::Flush() {
  impl_->Flush();
}

}  // namespace kestrelon::tables
