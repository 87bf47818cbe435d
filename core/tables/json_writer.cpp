#include "tables/json_writer.h"

#include <rapidjson/writer.h>

#include <memory>
#include <string>

#include "files/utf8_text.h"

namespace kestrelon::tables {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// rapidjson's output stream over a ByteSink, through a buffer of its own.
class BufferedStream {
 public:
  using Ch = char;
  explicit BufferedStream(ByteSink& out) : out_(out), buffer_(new char[kSize]) {}
  void Put(char c) {
    if (used_ == kSize) {
      Flush();
    }
    buffer_[used_++] = c;
  }
  void Raw(std::string_view bytes) {
    for (const char c : bytes) {
      Put(c);
    }
  }
  void Flush() {
    out_.Write({buffer_.get(), used_});
    used_ = 0;
  }

 private:
  static constexpr std::size_t kSize = 1 << 16;
  ByteSink& out_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
};

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

  // Each route is a value of its own, one a line: the writer starts afresh for it.
  void Put(const RouteView& route) {
    stream_.Raw(routes_++ > 0 ? "," : "");
    stream_.Raw(kLineEnd);
    Value();
    writer_.StartObject();
    Key("vrf");
    Text(route.vrf);
    Key("afi");
    Text(AfiName(route.afi));
    Key("protocol");
    Text(route.protocol);
    Key("flags");
    Text(route.flags);
    Key("prefix");
    Text(route.prefix);
    Key("distance");
    if (route.distance) {
      writer_.Uint(*route.distance);
    } else {
      writer_.Null();
    }
    Key("metric");
    if (route.metric) {
      writer_.Uint64(*route.metric);
    } else {
      writer_.Null();
    }
    Key("next_hops");
    writer_.StartArray();
    for (const NextHopView& hop : route.nextHops) {
      writer_.StartObject();
      Key("address");
      Optional(hop.address);
      Key("interface");
      Optional(hop.interface);
      Key("vrf");
      Optional(hop.vrf);
      writer_.EndObject();
    }
    writer_.EndArray();
    Key("uptime");
    Optional(route.uptime);
    writer_.EndObject();
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

  void Key(std::string_view name) {
    writer_.Key(name.data(), static_cast<rapidjson::SizeType>(name.size()));
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
