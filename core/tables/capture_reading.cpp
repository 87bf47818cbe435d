#include "tables/capture_reading.h"

#include <limits>

#include "tables/platform_detect.h"
#include "tables/readers/ios.h"
#include "tables/readers/junos.h"

namespace kestrelon::tables {

CaptureReading::CaptureReading(std::string_view text) : cleaned_(text) {
  const LogSurvey* survey = cleaned_.survey();  // what the cleaning's scan saw on its way
  parts_ = SplitByDevice(cleaned_.text(), survey ? &survey->promptMarks : nullptr);
  if (parts_.size() > 1) {
    std::vector<DevicePart> withTables;
    for (const DevicePart& part : parts_) {
      (DetectPlatform(part.text) ? withTables : passedOver_).push_back(part);
    }
    // None with a table: the whole capture, refused as such when it is read.
    parts_ = withTables.empty() ? std::vector<DevicePart>{{{}, 1, cleaned_.text()}} : withTables;
  }
}

Placement CaptureReading::Place(const DevicePart& part, const std::string& source,
                                std::optional<Platform> given) const {
  const LogSurvey* survey = cleaned_.survey();
  const bool whole =
      part.text.data() == cleaned_.text().data() && part.text.size() == cleaned_.text().size();
  RefuseTwoPlatforms(part, source, survey && whole ? &survey->tableMarks : nullptr);
  return ChoosePlacement(part.text, source, given);
}

void CaptureReading::Read(const DevicePart& part, const Placement& placement, RouteSink& sink,
                          ReadingReport& report, bool halves) const {
  report.platform = placement.platform;
  report.decidedBy = placement.decidedBy;
  cleaned_.MarkNoise(report.lines, part.firstLine, part.text);
  constexpr std::size_t kNever = std::numeric_limits<std::size_t>::max();
  if (!halves && report.platform == Platform::kIos) {
    IosReader(kNever).Read(part.text, sink, report.lines);
  } else if (!halves && report.platform == Platform::kJunos) {
    JunosReader(kNever).Read(part.text, sink, report.lines);
  } else {
    MakeReader(report.platform)->Read(part.text, sink, report.lines);
  }
}

}  // namespace kestrelon::tables
