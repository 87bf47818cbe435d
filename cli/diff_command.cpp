#include "cli/diff_command.h"

#include <array>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/fleet_output.h"
#include "cli/folder_diff_command.h"
#include "cli/reading_notes.h"
#include "cli/run_files.h"
#include "cli/standard_streams.h"
#include "files/capture_text.h"
#include "files/file_writer.h"
#include "files/mapped_file.h"
#include "files/private_folder.h"
#include "report/fleet_text_writer.h"
#include "report/html_diff_writer.h"
#include "report/made_time.h"
#include "tables/diff_csv_writer.h"
#include "tables/diff_json_writer.h"
#include "tables/diff_text_writer.h"
#include "tables/route_diff.h"

namespace kestrelon::cli {
namespace {

std::unique_ptr<tables::RouteDiffSink> MakeWriter(const CommandLine& command,
                                                  const report::HtmlHeader& header,
                                                  tables::ByteSink& out) {
  switch (command.format) {
    case RoutesFormat::kHtml:
      return std::make_unique<report::HtmlDiffWriter>(out, ReportLanguage(command), &header);
    case RoutesFormat::kJson:
      return std::make_unique<tables::JsonDiffWriter>(out);
    case RoutesFormat::kCsv:
      return std::make_unique<tables::CsvDiffWriter>(out);
    case RoutesFormat::kText:
      break;
  }
  return std::make_unique<tables::TextDiffWriter>(out);
}

// Reads both inputs and writes the report to output; the number of changes.
std::size_t Diff(const CommandLine& command, files::PrivateFolder& folder,
                 files::OutputFile& output) {
  std::array<std::optional<files::MappedFile>, 2> files;
  std::array<std::optional<files::CaptureText>, 2> texts;  // a byte order mark, UTF-16
  std::array<tables::DiffCapture, 2> captures;
  for (std::size_t i = 0; i < 2; ++i) {
    const std::string& operand = command.inputs[i];
    files[i].emplace(ReadableInput(operand, folder, static_cast<int>(i) + 1, true));
    files::TextCheck(InputName(operand)).Take(files[i]->bytes());
    texts[i].emplace(files[i]->bytes());
    captures[i].text = texts[i]->text();
    captures[i].source = operand;
    captures[i].name = InputName(operand);
    captures[i].release = [&files, &texts, i] {
      files[i]->CheckUnchanged();
      texts[i].reset();
      files[i].reset();
    };
  }
  tables::DiffOptions options;
  options.platform = command.platform;
  options.ignored = command.ignored;
  options.vrfs = command.vrfs;
  options.strict = command.strict;
  tables::FileByteSink sink(output);
  report::FleetHeader asked;
  asked.platform = command.platform ? std::string(tables::PlatformName(*command.platform)) : "auto";
  asked.ignored = command.ignored;
  asked.vrfs = command.vrfs;
  asked.strict = command.strict;
  asked.pairBy.clear();
  const report::HtmlHeader header{report::UtcText(report::ReportTime()),
                                  report::OptionsText(asked)};
  const std::unique_ptr<tables::RouteDiffSink> writer = MakeWriter(command, header, sink);
  // Keeps the readings of the summary, for the warnings once the report is written.
  struct Noting : tables::RouteDiffSink {
    void Begin(const tables::DiffSummary& summary) override {
      before = summary.beforeReading;
      after = summary.afterReading;
      next->Begin(summary);
    }
    void Change(const tables::RouteChangeEvent& change) override { next->Change(change); }
    void End() override { next->End(); }
    tables::RouteDiffSink* next = nullptr;
    tables::ReadingReport before;
    tables::ReadingReport after;
  } noting;
  noting.next = writer.get();
  const std::size_t changes = tables::DiffRouteCaptures(captures[0], captures[1], options, noting);
  for (const std::optional<files::MappedFile>& file : files) {
    if (file) {
      file->CheckUnchanged();
    }
  }
  WarnNotUnderstood(std::cerr, captures[0].name, noting.before,
                    "its routes may be missing from the diff (--strict makes this an error)");
  WarnNotUnderstood(std::cerr, captures[1].name, noting.after,
                    "its routes may be missing from the diff (--strict makes this an error)");
  return changes;
}

}  // namespace

names::ExitCode RunDiffCommand(const CommandLine& command) {
  if (DiffsFolders(command)) {
    return RunFolderDiff(command);
  }
  if (command.pairByGiven || command.jobs != 0 || command.shard) {
    throw UsageError("--pair-by, -j and --shard apply to a diff of two folders only");
  }
  RefuseOutputOverInputs(command);
  files::PrivateFolder folder;
  std::size_t changes = 0;
  WriteResult(command.output, folder, "diff",
              [&](files::OutputFile& output) { changes = Diff(command, folder, output); });
  return changes == 0 ? names::kSuccess : names::kDifferences;
}

}  // namespace kestrelon::cli
