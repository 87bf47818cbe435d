// Which platform printed a capture, decided from the capture's own marks: the legend's codes,
// the table headers, and the layout of its route lines.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/line_accounting.h"
#include "tables/table_reader.h"

namespace kestrelon::tables {

// A platform and what placed a capture on it: "given", or the marks that decided it.
struct Placement {
  Platform platform = Platform::kIos;
  std::string decidedBy;
  // Platforms that fit as well as platform does: a guess, which ChoosePlacement refuses.
  std::vector<Platform> tied;
};

// The platform whose reader fits capture and what decided it, or none when nothing in it is a
// routing table of a platform the readers know. Route lines are looked for wherever they are.
std::optional<Placement> PlaceCapture(std::string_view capture);

// The platform whose reader fits capture, or none when nothing in it is a routing table of a
// platform the readers know.
std::optional<Platform> DetectPlatform(std::string_view capture);

// The platform to read capture with: given, or else the one detected. Throws FileError naming
// source when none is given and none can be detected: a capture that cannot be placed is an
// error, never an empty table.
Platform ChoosePlatform(std::string_view capture, const std::string& source,
                        std::optional<Platform> given);
// The same with what decided it.
Placement ChoosePlacement(std::string_view capture, const std::string& source,
                          std::optional<Platform> given);

// Places capture (or takes given) and reads it into sink; report says how it was placed and
// what each line was (its account may hold lines marked before, see LineAccount::Preset).
// Throws FileError naming source when it cannot be placed.
void ReadCapture(std::string_view capture, const std::string& source, std::optional<Platform> given,
                 RouteSink& sink, ReadingReport& report);

// After reading: a capture in which platform's reader found no route is refused (FileError
// naming source) unless it is an empty table of that platform (its marks say so).
void CheckRoutesFound(std::string_view capture, const std::string& source, Platform platform,
                      std::size_t routes);

// Where a capture holding the tables of two platforms passes from the first to the second.
struct SecondPlatform {
  Platform first;
  Platform second;
  std::size_t line = 0;  // where the second's table (its legend or header) begins, from 1
};

// The first table of capture whose marks are of another platform than an earlier table's, or
// none. Each legend and NX-OS table header begins a table; one whose legend bears no mark of
// a single platform fits any platform that prints IOS's legend.
// tableMarks: where capture holds '"' and "Codes:", when known (LogSurvey), so that it is not
// read again.
std::optional<SecondPlatform> FindSecondPlatform(
    std::string_view capture, const std::vector<std::size_t>* tableMarks = nullptr);

}  // namespace kestrelon::tables
