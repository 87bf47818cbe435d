#include "tables/interface_name.h"

namespace kestrelon::tables {
namespace {

struct Spelling {
  std::string_view printed;  // a spelling of the type, as some platform or release prints it
  std::string_view full;
};

// Short forms and other full spellings of each type, for IOS, IOS-XE, IOS-XR, NX-OS and EOS.
// Matched without regard to case, but for the two short forms that differ by case alone.
constexpr Spelling kSpellings[] = {
    {"Fa", "FastEthernet"},
    {"FastEthernet", "FastEthernet"},
    {"Gi", "GigabitEthernet"},
    {"Gig", "GigabitEthernet"},
    {"GigE", "GigabitEthernet"},
    {"GigabitEthernet", "GigabitEthernet"},
    {"Tw", "TwoGigabitEthernet"},
    {"TwoGigabitEthernet", "TwoGigabitEthernet"},
    {"Fi", "FiveGigabitEthernet"},
    {"FiveGigabitEthernet", "FiveGigabitEthernet"},
    {"Te", "TenGigabitEthernet"},
    {"TenGigE", "TenGigabitEthernet"},
    {"TenGigabitEthernet", "TenGigabitEthernet"},
    {"Twe", "TwentyFiveGigE"},
    {"TF", "TwentyFiveGigE"},
    {"TwentyFiveGigE", "TwentyFiveGigE"},
    {"TwentyFiveGigabitEthernet", "TwentyFiveGigE"},
    {"Fo", "FortyGigabitEthernet"},
    {"FortyGigE", "FortyGigabitEthernet"},
    {"FortyGigabitEthernet", "FortyGigabitEthernet"},
    {"Fif", "FiftyGigE"},
    {"FiftyGigE", "FiftyGigE"},
    {"Hu", "HundredGigE"},
    {"HundredGigE", "HundredGigE"},
    {"HundredGigabitEthernet", "HundredGigE"},
    {"TH", "TwoHundredGigE"},
    {"TwoHundredGigE", "TwoHundredGigE"},
    {"FH", "FourHundredGigE"},
    {"FourHundredGigE", "FourHundredGigE"},
    {"Et", "Ethernet"},
    {"Eth", "Ethernet"},
    {"Ethernet", "Ethernet"},
    {"Po", "Port-channel"},
    {"Port-channel", "Port-channel"},
    {"BE", "Bundle-Ether"},
    {"Bundle-Ether", "Bundle-Ether"},
    {"BV", "BVI"},
    {"BVI", "BVI"},
    {"Lo", "Loopback"},
    {"Loopback", "Loopback"},
    {"Tu", "Tunnel"},
    {"Tunnel", "Tunnel"},
    {"Vl", "Vlan"},
    {"Vlan", "Vlan"},
    {"Vx", "Vxlan"},
    {"Vxlan", "Vxlan"},
    {"Se", "Serial"},
    {"Serial", "Serial"},
    {"Nu", "Null"},
    {"Null", "Null"},
    {"Ma", "Management"},
    {"Management", "Management"},
    {"Mg", "MgmtEth"},
    {"MgmtEth", "MgmtEth"},
    {"mgmt", "mgmt"},
    {"Di", "Dialer"},
    {"Dialer", "Dialer"},
    {"Mu", "Multilink"},
    {"Multilink", "Multilink"},
    {"Vi", "Virtual-Access"},
    {"Virtual-Access", "Virtual-Access"},
    {"Vt", "Virtual-Template"},
    {"Virtual-Template", "Virtual-Template"},
};

// The short forms whose case tells two types apart: IOS-XR's "PO" is POS, "Po" a port channel.
constexpr Spelling kByCase[] = {{"PO", "POS"}, {"POS", "POS"}};

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualWithoutCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) {
      return false;
    }
  }
  return true;
}

// The full spelling of a type as printed, or none.
std::string_view FullType(std::string_view type) {
  for (const Spelling& s : kByCase) {
    if (s.printed == type) {
      return s.full;
    }
  }
  for (const Spelling& s : kSpellings) {
    if (EqualWithoutCase(s.printed, type)) {
      return s.full;
    }
  }
  return {};
}

}  // namespace

std::string FullInterfaceName(std::string_view name) {
  // The type is the letters (and "-") before the first digit: "Port-channel" of
  // "Port-channel10", "Gi" of "Gi0/0/0.100".
  std::size_t digit = 0;
  while (digit < name.size() &&
         ((name[digit] >= 'a' && name[digit] <= 'z') ||
          (name[digit] >= 'A' && name[digit] <= 'Z') || name[digit] == '-')) {
    ++digit;
  }
  if (digit == 0 || digit == name.size() || name[digit] < '0' || name[digit] > '9') {
    return std::string(name);
  }
  const std::string_view full = FullType(name.substr(0, digit));
  if (full.empty()) {
    return std::string(name);
  }
  std::string text(full);
  text.append(name.substr(digit));
  return text;
}

bool SameInterface(std::string_view a, std::string_view b) {
  return a == b || FullInterfaceName(a) == FullInterfaceName(b);
}

}  // namespace kestrelon::tables
