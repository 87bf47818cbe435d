// A device's command prompt at the start of a line of a terminal log, and the host name in it:
// "R1#show ip route", "R1>", "leaf1(config)#", "RP/0/RP0/CPU0:xr1#", "asa1/pri/act#",
// "user@mx1> show route". What splits a log of several devices, and pairs captures by device.
#pragma once

#include <optional>
#include <string_view>

namespace kestrelon::tables {

struct Prompt {
  std::string_view host;     // "xr1" of "RP/0/RP0/CPU0:xr1#"
  std::string_view command;  // what follows the prompt, blanks trimmed; empty for none
};

// The prompt line starts with, or none. Route lines, legends and headers of the platforms the
// readers know never read as one.
std::optional<Prompt> ReadPrompt(std::string_view line);

}  // namespace kestrelon::tables
