// One spelling for an interface however a platform or release prints it: "Gi0/0" and
// "GigabitEthernet0/0", "Eth1/1" and "Ethernet1/1", "Po10" and "port-channel10" name one
// interface. The route diff compares interfaces by it; records keep the name as printed.
#pragma once

#include <string>
#include <string_view>

namespace kestrelon::tables {

// The interface's full name ("GigabitEthernet0/0" for "Gi0/0" or "gigabitethernet0/0"); a
// name of no known type (a firewall's "inside", "nve1") as it is.
std::string FullInterfaceName(std::string_view name);

// Whether two printed names name one interface.
bool SameInterface(std::string_view a, std::string_view b);

}  // namespace kestrelon::tables
