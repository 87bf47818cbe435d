#include "report/fleet_csv_writer.h"

#include "report/diff_document.h"
#include "tables/diff_csv_writer.h"

namespace kestrelon::report {

void WriteFleetCsv(const FleetReport& report, tables::ByteSink& out) {
  tables::CsvDiffWriter writer(out, "device");
  writer.WriteHeader();
  for (const DeviceResult& device : report.devices) {
    writer.Lead(device.device);
    switch (device.status) {
      case DeviceStatus::kSame:
      case DeviceStatus::kChanged:
        DiffDocument::Load(device.diffDocument)->Replay(writer);
        break;
      case DeviceStatus::kMissingBefore:
        writer.Note(DeviceStatusName(device.status), *device.afterFile);
        break;
      case DeviceStatus::kMissingAfter:
        writer.Note(DeviceStatusName(device.status), *device.beforeFile);
        break;
      case DeviceStatus::kUnreadable:
        writer.Note(DeviceStatusName(device.status), device.reason);
        break;
    }
  }
  writer.End();
}

}  // namespace kestrelon::report
