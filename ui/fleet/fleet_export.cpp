#include "ui/fleet/fleet_export.h"

#include "files/file_writer.h"
#include "report/fleet_csv_writer.h"
#include "report/fleet_html_writer.h"
#include "report/fleet_json_writer.h"
#include "tables/byte_sink.h"

namespace kestrelon::ui::fleet {

const char* FormatExtension(FleetFormat format) {
  switch (format) {
    case FleetFormat::kHtml:
      return "html";
    case FleetFormat::kJson:
      return "json";
    case FleetFormat::kCsv:
      break;
  }
  return "csv";
}

void ExportFleet(const report::FleetReport& report, FleetFormat format, const std::string& target) {
  report.RefuseOutputOver(target);
  files::AtomicOutputFile file(target);
  tables::FileByteSink sink(file);
  switch (format) {
    case FleetFormat::kHtml:
      // The window speaks Japanese; so does the report it writes.
      report::WriteFleetHtml(report, sink, report::Language::kJapanese);
      break;
    case FleetFormat::kJson:
      report::WriteFleetJson(report, sink);
      break;
    case FleetFormat::kCsv:
      report::WriteFleetCsv(report, sink);
      break;
  }
  file.Commit();
}

}  // namespace kestrelon::ui::fleet
