#include "cli/routes_command.h"

#include <iostream>
#include <memory>
#include <vector>

#include "cli/run_files.h"
#include "cli/standard_streams.h"
#include "files/capture_text.h"
#include "files/file_writer.h"
#include "files/mapped_file.h"
#include "files/private_folder.h"
#include "tables/csv_writer.h"
#include "tables/json_writer.h"
#include "tables/log_cleaning.h"
#include "tables/platform_detect.h"
#include "tables/text_writer.h"

namespace kestrelon::cli {
namespace {

// A part of the writer's, counting its routes.
struct CountedPart : tables::RouteSink {
  void Put(const tables::RouteView& route) override {
    ++routes;
    next->Put(route);
  }
  std::unique_ptr<tables::RouteSink> next;
  std::size_t routes = 0;
};

// One of the three writers behind the calls the command makes.
class FormatWriter : public tables::RouteSink {
 public:
  FormatWriter(RoutesFormat format, tables::ByteSink& out, bool several) {
    switch (format) {
      case RoutesFormat::kJson:
        json_ = std::make_unique<tables::JsonRouteWriter>(out, several);
        break;
      case RoutesFormat::kCsv:
        csv_ = std::make_unique<tables::CsvRouteWriter>(out);
        break;
      case RoutesFormat::kText:
        text_ = std::make_unique<tables::TextRouteWriter>(out, several);
        break;
    }
  }

  void BeginCapture(std::string_view source, tables::Platform platform) {
    routes_ = 0;
    if (json_)
      json_->BeginCapture(source, platform);
    if (csv_)
      csv_->BeginCapture(source, platform);
    if (text_)
      text_->BeginCapture(source, platform);
  }
  void Put(const tables::RouteView& route) override {
    ++routes_;
    if (json_)
      json_->Put(route);
    if (csv_)
      csv_->Put(route);
    if (text_)
      text_->Put(route);
  }
  // JSON is written in parts as the reader reads them; the other formats take every route here.
  std::unique_ptr<tables::RouteSink> NewPart() override {
    if (!json_) {
      return nullptr;
    }
    auto part = std::make_unique<CountedPart>();
    part->next = json_->NewPart();
    return part;
  }
  void AppendPart(std::unique_ptr<tables::RouteSink> part) override {
    auto& counted = static_cast<CountedPart&>(*part);
    routes_ += counted.routes;
    json_->AppendPart(std::move(counted.next));
  }
  void EndCapture() {
    if (json_)
      json_->EndCapture();
    if (text_)
      text_->EndCapture();
  }
  void Finish() {
    if (json_)
      json_->Finish();
    if (csv_)
      csv_->Finish();
  }
  std::size_t routes() const { return routes_; }

 private:
  std::unique_ptr<tables::JsonRouteWriter> json_;
  std::unique_ptr<tables::CsvRouteWriter> csv_;
  std::unique_ptr<tables::TextRouteWriter> text_;
  std::size_t routes_ = 0;
};

// Reads each input into writer.
void ReadInputs(const CommandLine& command, files::PrivateFolder& folder, FormatWriter& writer) {
  for (std::size_t i = 0; i < command.inputs.size(); ++i) {
    const std::string& operand = command.inputs[i];
    const std::string name = operand == kStandardStream ? kStandardInputName : operand;
    const std::string path = ReadableInput(operand, folder, static_cast<int>(i) + 1);
    const files::MappedFile file(path);
    const files::CaptureText text(file.bytes());        // a byte order mark, UTF-16
    const tables::CleanedCapture cleaned(text.text());  // a terminal program's log
    const std::string_view capture = cleaned.text();
    const tables::Platform platform = tables::ChoosePlatform(capture, name, command.platform);
    if (command.verbose) {
      std::cerr << "kestrelon-cli: " << name << ": read as " << tables::PlatformName(platform)
                << (command.platform ? " (as given)" : " (detected)") << '\n';
    }
    writer.BeginCapture(operand, platform);
    tables::MakeReader(platform)->Read(capture, writer);
    tables::CheckRoutesFound(capture, name, platform, writer.routes());
    writer.EndCapture();
  }
  writer.Finish();
}

}  // namespace

names::ExitCode RunRoutesCommand(const CommandLine& command) {
  files::PrivateFolder folder;
  const bool several = command.inputs.size() > 1;
  WriteResult(command.output, folder, "routes", [&](files::OutputFile& output) {
    tables::FileByteSink sink(output);
    FormatWriter writer(command.format, sink, several);
    ReadInputs(command, folder, writer);
  });
  return names::kSuccess;
}

}  // namespace kestrelon::cli
