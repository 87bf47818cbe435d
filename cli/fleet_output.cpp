#include "cli/fleet_output.h"

#include <iostream>

#include "cli/run_files.h"
#include "report/fleet_csv_writer.h"
#include "report/fleet_html_writer.h"
#include "report/fleet_json_writer.h"
#include "report/fleet_text_writer.h"
#include "tables/visible_text.h"

namespace kestrelon::cli {

report::Language ReportLanguage(const CommandLine& command) {
  return command.language.value_or(report::LanguageFromEnvironment());
}

void WriteFleetReport(const report::FleetReport& report, const CommandLine& command,
                      tables::ByteSink& out) {
  switch (command.format) {
    case RoutesFormat::kJson:
      report::WriteFleetJson(report, out);
      return;
    case RoutesFormat::kCsv:
      report::WriteFleetCsv(report, out);
      return;
    case RoutesFormat::kHtml:
      report::WriteFleetHtml(report, out, ReportLanguage(command));
      return;
    case RoutesFormat::kText:
      break;
  }
  report::WriteFleetText(report, out);
}

names::ExitCode DeliverFleetReport(const report::FleetReport& report, const CommandLine& command) {
  files::PrivateFolder folder;
  WriteResult(command.output, folder, "report", [&](files::OutputFile& output) {
    tables::FileByteSink sink(output);
    WriteFleetReport(report, command, sink);
  });
  WarnFleetDevices(std::cerr, report);
  return static_cast<names::ExitCode>(report.ExitStatus());
}

void WarnFleetDevices(std::ostream& err, const report::FleetReport& report) {
  for (const report::DeviceResult& device : report.devices) {
    const std::string name = tables::VisibleText(device.device);
    if (device.status == report::DeviceStatus::kUnreadable) {
      err << "kestrelon-cli: device " << name
          << " could not be read: " << tables::VisibleText(device.reason) << '\n';
    } else if (!device.reason.empty()) {
      err << "kestrelon-cli: device " << name << " (" << report::DeviceStatusName(device.status)
          << "): its capture could not be read: " << tables::VisibleText(device.reason) << '\n';
    }
    const std::size_t lines = device.notUnderstoodBefore + device.notUnderstoodAfter;
    if (lines > 0) {
      err << "kestrelon-cli: warning: device " << name << ": " << lines
          << (lines == 1 ? " line" : " lines")
          << " not understood; its routes may be missing from the diff\n";
    }
  }
}

}  // namespace kestrelon::cli
