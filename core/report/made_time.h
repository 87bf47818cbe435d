// When a report says it was made: now, or SOURCE_DATE_EPOCH when set, so that a build or a test
// can make the same report twice, byte for byte.
#pragma once

#include <cstdint>
#include <string>

namespace kestrelon::report {

// Seconds since 1970: SOURCE_DATE_EPOCH when it holds a number, else the clock's.
std::int64_t ReportTime();

// "2026-12-08T01:49:10Z".
std::string UtcText(std::int64_t seconds);

}  // namespace kestrelon::report
