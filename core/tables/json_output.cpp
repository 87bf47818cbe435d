#include "tables/json_output.h"

#include <rapidjson/writer.h>

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
    Reserve(bytes.size());
    std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
  }
  void Flush() {
    out_.Write({buffer_.data(), used_});
    used_ = 0;
  }

 private:
  static constexpr std::size_t kSize = 1 << 16;
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

  void Optional(const OptionalText& text) {
    if (text) {
      Text(*text);
    } else {
      Null();
    }
  }

  void Number(std::uint64_t value) {
    Value();
    writer_.Uint64(value);
  }

  void Null() {
    Value();
    writer_.Null();
  }

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
