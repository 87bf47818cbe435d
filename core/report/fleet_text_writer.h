// The fleet report as text: what was asked, the devices by status, a table of the devices (its
// status, platforms, routes and changes each), why a device could not be read, then each
// changed device's diff as the two-file diff writes it.
#pragma once

#include "report/fleet_report.h"
#include "tables/byte_sink.h"

namespace kestrelon::report {

void WriteFleetText(const FleetReport& report, tables::ByteSink& out);

// "platform auto, ignored uptime, every VRF, paired by auto": the options a report says it ran
// with (without the pairing when pairBy is empty: a diff of two files).
std::string OptionsText(const FleetHeader& header);

}  // namespace kestrelon::report
