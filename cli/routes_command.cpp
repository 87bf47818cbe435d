#include "cli/routes_command.h"

#include <iostream>
#include <memory>
#include <vector>

#include "cli/reading_notes.h"
#include "cli/run_files.h"
#include "cli/standard_streams.h"
#include "files/capture_text.h"
#include "files/file_writer.h"
#include "files/mapped_file.h"
#include "files/private_folder.h"
#include "tables/capture_reading.h"
#include "tables/csv_writer.h"
#include "tables/json_writer.h"
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
      case RoutesFormat::kHtml:  // refused for routes by the option parser
        text_ = std::make_unique<tables::TextRouteWriter>(out, several);
        break;
    }
  }

  // device: the host of one device's part of a log of several, else empty.
  void BeginCapture(std::string_view source, tables::Platform platform, std::string_view device) {
    routes_ = 0;
    // CSV and text name the device with the file, in the one source field they have.
    const std::string named = device.empty()
                                  ? std::string(source)
                                  : std::string(source) + ", device " + std::string(device);
    if (json_)
      json_->BeginCapture(source, platform, device);
    if (csv_)
      csv_->BeginCapture(named, platform);
    if (text_)
      text_->BeginCapture(named, platform);
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
  void EndCapture(const tables::ReadingReport& reading) {
    if (json_)
      json_->EndCapture(&reading);
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

// One input: its bytes, and its reading (cleaned of a terminal program's marks, one part per
// device of a log that went from one to the next).
struct Input {
  std::string operand;
  std::string name;  // as messages name it
  std::unique_ptr<files::MappedFile> file;
  std::unique_ptr<files::CaptureText> text;
  std::unique_ptr<tables::CaptureReading> reading;
};

std::vector<Input> OpenInputs(const CommandLine& command, files::PrivateFolder& folder) {
  std::vector<Input> inputs;
  for (std::size_t i = 0; i < command.inputs.size(); ++i) {
    Input& input = inputs.emplace_back();
    input.operand = command.inputs[i];
    input.name = InputName(input.operand);
    input.file = std::make_unique<files::MappedFile>(
        ReadableInput(input.operand, folder, static_cast<int>(i) + 1, true));
    files::TextCheck(input.name).Take(input.file->bytes());
    input.text = std::make_unique<files::CaptureText>(input.file->bytes());  // a mark, UTF-16
    input.reading = std::make_unique<tables::CaptureReading>(input.text->text());
    for (const tables::DevicePart& part : input.reading->passedOver()) {
      std::cerr << "kestrelon-cli: " << input.name << ": device " << part.device << " (line "
                << part.firstLine << "): no route table, passed over\n";
    }
  }
  return inputs;
}

// Reads each part of each input into writer.
void ReadInputs(const CommandLine& command, const std::vector<Input>& inputs,
                FormatWriter& writer) {
  for (const Input& input : inputs) {
    const bool devices = input.reading->severalDevices();
    for (const tables::DevicePart& part : input.reading->parts()) {
      const std::string name =
          devices ? input.name + ", device " + std::string(part.device) : input.name;
      const tables::Placement placement = input.reading->Place(part, name, command.platform);
      writer.BeginCapture(input.operand, placement.platform,
                          devices ? part.device : std::string_view());
      tables::ReadingReport report;
      input.reading->Read(part, placement, writer, report);
      input.file->CheckUnchanged();
      tables::CheckRoutesFound(part.text, name, report.platform, writer.routes());
      writer.EndCapture(report);
      if (command.verbose) {
        DescribeReading(std::cerr, name, report);
      } else if (command.format != RoutesFormat::kJson) {
        WarnNotUnderstood(std::cerr, name, report, "--verbose lists them");
      }
    }
  }
  writer.Finish();
}

}  // namespace

names::ExitCode RunRoutesCommand(const CommandLine& command) {
  RefuseOutputOverInputs(command);
  files::PrivateFolder folder;
  WriteResult(command.output, folder, "routes", [&](files::OutputFile& output) {
    const std::vector<Input> inputs = OpenInputs(command, folder);
    std::size_t captures = 0;
    for (const Input& input : inputs) {
      captures += input.reading->parts().size();
    }
    tables::FileByteSink sink(output);
    FormatWriter writer(command.format, sink, captures > 1);
    ReadInputs(command, inputs, writer);
  });
  return names::kSuccess;
}

}  // namespace kestrelon::cli
