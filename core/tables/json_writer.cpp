#include "tables/json_writer.h"

#include "tables/json_output.h"

namespace kestrelon::tables {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

class JsonRouteWriter::Impl {
 public:
  Impl(ByteSink& out, bool several) : json_(out), several_(several) {
    json_.Raw(several_ ? "[" : "");
  }

  void BeginCapture(std::string_view source, Platform platform) {
    json_.Raw(captures_++ > 0 ? "," : "");
    json_.Raw(several_ ? kLineEnd : "");
    json_.Raw("{\"source\":");
    json_.Text(source);
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

  void EndCapture() {
    json_.Raw(routes_ > 0 ? kLineEnd : "");
    json_.Raw("]}");
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
