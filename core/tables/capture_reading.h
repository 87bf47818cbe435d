// One capture read as routes and diff read it: cleaned of what a terminal program and a pager
// left in the log, split into one part per device where the log went from one to the next,
// and each part placed on its platform and read with every line accounted for.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/device_split.h"
#include "tables/line_accounting.h"
#include "tables/log_cleaning.h"
#include "tables/platform_detect.h"
#include "tables/route_sink.h"

namespace kestrelon::tables {

class CaptureReading {
 public:
  // text must outlive the object.
  explicit CaptureReading(std::string_view text);

  // The parts to read: one per device that printed a table, or the whole capture.
  const std::vector<DevicePart>& parts() const { return parts_; }
  // Devices of a log of several that printed no table (a jump host on the way).
  const std::vector<DevicePart>& passedOver() const { return passedOver_; }
  bool severalDevices() const { return parts_.size() > 1; }

  // The platform of part (given, or decided from its marks) and what decided it. Throws
  // FileError naming source when the part holds two platforms' tables or cannot be placed.
  Placement Place(const DevicePart& part, const std::string& source,
                  std::optional<Platform> given) const;
  // Reads part into sink as placed; report gets the placement and what each line was. halves:
  // a large IOS or Junos capture may be read in two halves at once.
  void Read(const DevicePart& part, const Placement& placement, RouteSink& sink,
            ReadingReport& report, bool halves = true) const;

 private:
  CleanedCapture cleaned_;
  std::vector<DevicePart> parts_;
  std::vector<DevicePart> passedOver_;
};

}  // namespace kestrelon::tables
