// What the folder diff and merge hand the user: the fleet report in the format asked for, and
// on standard error the devices that could not be read and the captures with lines not
// understood.
#pragma once

#include <optional>
#include <ostream>

#include "cli/cli_options.h"
#include "names/exit_codes.h"
#include "report/fleet_report.h"
#include "tables/byte_sink.h"

namespace kestrelon::cli {

void WriteFleetReport(const report::FleetReport& report, const CommandLine& command,
                      tables::ByteSink& out);

// Writes the report where command says (-o, else standard output, each only when complete),
// then the warnings; the exit status the report's devices give.
names::ExitCode DeliverFleetReport(const report::FleetReport& report, const CommandLine& command);

// One line per unreadable device, with the reason, and per device whose captures had lines not
// understood.
void WarnFleetDevices(std::ostream& err, const report::FleetReport& report);

// The language of an HTML report: --lang, else the locale's.
report::Language ReportLanguage(const CommandLine& command);

}  // namespace kestrelon::cli
