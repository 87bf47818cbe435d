#include "tables/json_writer.h"

#include <rapidjson/writer.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "files/utf8_text.h"

namespace kestrelon::tables {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

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

class JsonRouteWriter::Impl {
 public:
  // The punctuation around the values is written here; every value (each route, each text)
  // goes through the writer, which quotes and escapes it.
  Impl(ByteSink& out, bool several) : stream_(out), writer_(stream_), several_(several) {
    stream_.Raw(several_ ? "[" : "");
  }

  void BeginCapture(std::string_view source, Platform platform) {
    stream_.Raw(captures_++ > 0 ? "," : "");
    stream_.Raw(several_ ? kLineEnd : "");
    stream_.Raw("{\"source\":");
    Value().Text(source);
    stream_.Raw(",\"platform\":");
    Value().Text(PlatformName(platform));
    stream_.Raw(",\"routes\":[");
    routes_ = 0;
  }

  // One route a line. The record's fixed keys and punctuation are the same for every route;
  // every value goes through the writer, which quotes and escapes it.
  void Put(const RouteView& route) {
    stream_.Raw(routes_++ > 0 ? ",\r\n{\"vrf\":" : "\r\n{\"vrf\":");
    Value().Text(route.vrf);
    stream_.Raw(",\"afi\":");
    Value().Text(AfiName(route.afi));
    stream_.Raw(",\"protocol\":");
    Value().Text(route.protocol);
    stream_.Raw(",\"flags\":");
    Value().Text(route.flags);
    stream_.Raw(",\"prefix\":");
    Value().Text(route.prefix);
    stream_.Raw(",\"distance\":");
    Value();
    route.distance ? writer_.Uint(*route.distance) : writer_.Null();
    stream_.Raw(",\"metric\":");
    Value();
    route.metric ? writer_.Uint64(*route.metric) : writer_.Null();
    stream_.Raw(",\"next_hops\":[");
    for (std::size_t i = 0; i < route.nextHops.size(); ++i) {
      const NextHopView& hop = route.nextHops[i];
      stream_.Raw(i > 0 ? ",{\"address\":" : "{\"address\":");
      Value().Optional(hop.address);
      stream_.Raw(",\"interface\":");
      Value().Optional(hop.interface);
      stream_.Raw(",\"vrf\":");
      Value().Optional(hop.vrf);
      stream_.Raw("}");
    }
    stream_.Raw("],\"uptime\":");
    Value().Optional(route.uptime);
    stream_.Raw("}");
  }

  void EndCapture() {
    stream_.Raw(routes_ > 0 ? kLineEnd : "");
    stream_.Raw("]}");
    stream_.Raw(several_ ? "" : kLineEnd);
  }

  void Finish() {
    if (several_) {
      stream_.Raw(kLineEnd);
      stream_.Raw("]");
      stream_.Raw(kLineEnd);
    }
    stream_.Flush();
  }

 private:
  // The writer, ready for one value.
  Impl& Value() {
    writer_.Reset(stream_);
    return *this;
  }

  // JSON text is UTF-8: a byte that is not part of a valid sequence becomes U+FFFD.
  void Text(std::string_view text) {
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
      writer_.Null();
    }
  }

  BufferedStream stream_;
  rapidjson::Writer<BufferedStream> writer_;
  bool several_;
  std::size_t captures_ = 0;
  std::size_t routes_ = 0;
  std::string valid_;
};

JsonRouteWriter::JsonRouteWriter(ByteSink& out, bool several)
    : impl_(std::make_unique<Impl>(out, several)) {}
JsonRouteWriter::~JsonRouteWriter() = default;

void JsonRouteWriter::BeginCapture(std::string_view source, Platform platform) {
  impl_->BeginCapture(source, platform);
}
void JsonRouteWriter::Put(const RouteView& route) {
  impl_->Put(route);
}
void JsonRouteWriter::EndCapture() {
  impl_->EndCapture();
}
void JsonRouteWriter::Finish() {
  impl_->Finish();
}

}  // namespace kestrelon::tables
