// The lines of a capture that are no part of a route, as every platform prints them: prompts
// and commands, the legend, headings and banners, time stamps, pager remnants.
#pragma once

#include <string_view>

#include "tables/line_accounting.h"

namespace kestrelon::tables {

// What line is when it is neither a route nor a path: a prompt, legend, header, blank or pager
// line, or else not understood. inLegend: the line before was a legend line (its
// continuations are lists of "X - name").
LineKind ClassifyOtherLine(std::string_view line, bool inLegend);

// "R1#show ip route", "RP/0/RSP0/CPU0:pe1#", "fw1> show route", "show ip route vrf *".
bool IsPromptLine(std::string_view line);

}  // namespace kestrelon::tables
