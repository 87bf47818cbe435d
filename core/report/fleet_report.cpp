#include "report/fleet_report.h"

#include <algorithm>
#include <array>

#include "files/file_error.h"
#include "files/same_file.h"

namespace kestrelon::report {
namespace {

constexpr std::array<std::string_view, 5> kStatusNames = {"same", "changed", "missing_before",
                                                          "missing_after", "unreadable"};

}  // namespace

std::string_view DeviceStatusName(DeviceStatus status) {
  return kStatusNames[static_cast<std::size_t>(status)];
}

std::optional<DeviceStatus> DeviceStatusFromName(std::string_view name) {
  for (std::size_t i = 0; i < kStatusNames.size(); ++i) {
    if (kStatusNames[i] == name) {
      return static_cast<DeviceStatus>(i);
    }
  }
  return std::nullopt;
}

FleetTotals FleetReport::Totals() const {
  FleetTotals totals;
  for (const DeviceResult& device : devices) {
    ++totals.devices;
    switch (device.status) {
      case DeviceStatus::kSame:
        ++totals.same;
        break;
      case DeviceStatus::kChanged:
        ++totals.changed;
        break;
      case DeviceStatus::kMissingBefore:
        ++totals.missingBefore;
        break;
      case DeviceStatus::kMissingAfter:
        ++totals.missingAfter;
        break;
      case DeviceStatus::kUnreadable:
        ++totals.unreadable;
        break;
    }
    totals.routes += device.counts;
  }
  return totals;
}

int FleetReport::ExitStatus() const {
  const FleetTotals totals = Totals();
  const bool unread = std::any_of(devices.begin(), devices.end(), [](const DeviceResult& device) {
    return !device.reason.empty();
  });
  if (unread) {
    return 2;  // a device unreadable, or the one capture of a device missing on one side
  }
  return totals.devices == totals.same ? 0 : 1;
}

void FleetReport::RefuseOutputOver(const std::string& target) const {
  for (const DeviceResult& device : devices) {
    for (const std::optional<std::string>& file : {device.beforeFile, device.afterFile}) {
      if (file && files::SameFile(target, *file)) {
        throw FileError("write", target, 0,
                        "the report would replace \"" + *file + "\", one of the captures it reads");
      }
    }
  }
}

}  // namespace kestrelon::report
