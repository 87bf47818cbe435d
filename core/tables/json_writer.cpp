#include "tables/json_writer.h"

#include <string>
#include <vector>

#include "tables/json_output.h"

namespace kestrelon::tables {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Bytes kept as the pieces they were written in, never copied again to grow.
class PieceBytes : public ByteSink {
 public:
  void Write(std::string_view bytes) override { pieces.emplace_back(bytes); }
  std::vector<std::string> pieces;
};

// The routes of a part, written into memory on the reader's other thread, each after ",\r\n".
class JsonPart : public RouteSink {
 public:
  JsonPart() : json_(bytes_) {}
  void Put(const RouteView& route) override {
    json_.Raw(",\r\n");
    json_.Record(route);
    ++routes_;
  }
  // Writes the part's bytes to json; the first "," only when routes come before it.
  void WriteTo(JsonOutput& json, bool after) {
    json_.Flush();
    for (std::size_t i = 0; i < bytes_.pieces.size(); ++i) {
      const std::string_view piece = bytes_.pieces[i];
      json.Raw(i == 0 && !after ? piece.substr(1) : piece);
    }
  }
  std::size_t routes() const { return routes_; }

 private:
  PieceBytes bytes_;
  JsonOutput json_;
  std::size_t routes_ = 0;
};

}  // namespace

class JsonRouteWriter::Impl {
 public:
  Impl(ByteSink& out, bool several) : json_(out), several_(several) {
    json_.Raw(several_ ? "[" : "");
  }

  void BeginCapture(std::string_view source, Platform platform, std::string_view device) {
    json_.Raw(captures_++ > 0 ? "," : "");
    json_.Raw(several_ ? kLineEnd : "");
    json_.Raw("{\"source\":");
    json_.Text(source);
    if (!device.empty()) {
      json_.Raw(",\"device\":");
      json_.Text(device);
    }
    json_.Raw(",\"platform\":");
    json_.Text(PlatformName(platform));
    json_.Raw(",\"routes\":[");
    routes_ = 0;
  }

  // One route a line.
  void Put(const RouteView& route) {
    json_.Raw(routes_++ > 0 ? ",\r\n" : "\r\n");
    json_.Record(route);
  }

  std::unique_ptr<RouteSink> NewPart() { return std::make_unique<JsonPart>(); }

  void AppendPart(std::unique_ptr<RouteSink> part) {
    auto& json = static_cast<JsonPart&>(*part);
    json.WriteTo(json_, routes_ > 0);
    routes_ += json.routes();
  }

  void EndCapture(const ReadingReport* reading) {
    json_.Raw(routes_ > 0 ? kLineEnd : "");
    json_.Raw("]");
    if (reading != nullptr) {
      json_.Raw(",\"reading\":");
      json_.Reading(*reading);
    }
    json_.Raw("}");
    json_.Raw(several_ ? "" : kLineEnd);
  }

  void Finish() {
    if (several_) {
      json_.Raw(kLineEnd);
      json_.Raw("]");
      json_.Raw(kLineEnd);
    }
    json_.Flush();
  }

 private:
  JsonOutput json_;
  bool several_;
  std::size_t captures_ = 0;
  std::size_t routes_ = 0;
};

JsonRouteWriter::JsonRouteWriter(ByteSink& out, bool several)
    : impl_(std::make_unique<Impl>(out, several)) {}
JsonRouteWriter::~JsonRouteWriter() = default;

void JsonRouteWriter::BeginCapture(std::string_view source, Platform platform,
                                   std::string_view device) {
  impl_->BeginCapture(source, platform, device);
}
void JsonRouteWriter::Put(const RouteView& route) {
  impl_->Put(route);
}
std::unique_ptr<RouteSink> JsonRouteWriter::NewPart() {
  return impl_->NewPart();
}
void JsonRouteWriter::AppendPart(std::unique_ptr<RouteSink> part) {
  impl_->AppendPart(std::move(part));
}
void JsonRouteWriter::EndCapture(const ReadingReport* reading) {
  impl_->EndCapture(reading);
}
void JsonRouteWriter::Finish() {
  impl_->Finish();
}

}  // namespace kestrelon::tables
