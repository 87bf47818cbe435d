// A terminal log of a session that went from one device to the next, split at its prompts into
// one capture per device, so that each is read with its own platform.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kestrelon::tables {

struct DevicePart {
  std::string_view device;    // the host of its prompts; empty when it has none
  std::size_t firstLine = 1;  // its first line's number in the capture
  std::string_view text;      // its lines, a part of the capture
};

// The parts of capture: a new one begins at each prompt whose host differs from the one before
// (what comes before the first prompt belongs to the first part). A capture whose prompts name
// one host, or that has none, is one part. promptMarks: where capture holds "#" and ">", when
// known (LogSurvey), so that it is not read again.
std::vector<DevicePart> SplitByDevice(std::string_view capture,
                                      const std::vector<std::size_t>* promptMarks = nullptr);

// Throws FileError naming source when part holds the tables of two platforms, which no split
// at a prompt parted: a capture is never read as the last platform in it. tableMarks: as for
// FindSecondPlatform.
void RefuseTwoPlatforms(const DevicePart& part, const std::string& source,
                        const std::vector<std::size_t>* tableMarks = nullptr);

}  // namespace kestrelon::tables
