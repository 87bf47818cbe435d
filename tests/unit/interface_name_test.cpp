#include "tables/interface_name.h"

#include <gtest/gtest.h>

namespace kestrelon::tables {
namespace {

TEST(InterfaceName, ShortAndFullSpellingsNameOneInterface) {
  const struct {
    const char* a;
    const char* b;
    bool same;
  } cases[] = {
      {"Gi0/0", "GigabitEthernet0/0", true},
      {"Gi0/0/0.100", "GigabitEthernet0/0/0.100", true},
      {"Eth1/1", "Ethernet1/1", true},
      {"Et1", "Ethernet1", true},
      {"Po10", "Port-channel10", true},
      {"Po10", "port-channel10", true},  // NX-OS prints it in lower case
      {"Lo0", "Loopback0", true},
      {"Te0/1/0", "TenGigabitEthernet0/1/0", true},
      {"Te0/0/0/1", "TenGigE0/0/0/1", true},
      {"Fo1/0/1", "FortyGigabitEthernet1/0/1", true},
      {"Hu0/0/0/0", "HundredGigE0/0/0/0", true},
      {"Tu11", "Tunnel11", true},
      {"Vl100", "Vlan100", true},
      {"BE100", "Bundle-Ether100", true},
      {"Ma1", "Management1", true},
      {"mgmt0", "Mgmt0", true},
      {"Tw1/0/1", "TwoGigabitEthernet1/0/1", true},
      {"Twe1/0/1", "TwentyFiveGigE1/0/1", true},
      {"PO0/1/0/0", "POS0/1/0/0", true},
      // another type, another number, or a name that no table of types holds
      {"Po10", "PO10", false},
      {"Gi0/0", "Gi0/1", false},
      {"Tw1/0/1", "TwentyFiveGigE1/0/1", false},
      {"Gi0/0", "Te0/0", false},
      {"inside", "Inside", false},
      {"Eth1/1", "Eth1/1.5", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SameInterface(c.a, c.b), c.same) << c.a << " " << c.b;
    EXPECT_EQ(SameInterface(c.b, c.a), c.same) << c.b << " " << c.a;
  }
  EXPECT_EQ(FullInterfaceName("Gi0/0"), "GigabitEthernet0/0");
  EXPECT_EQ(FullInterfaceName("outside"), "outside");
}

}  // namespace
}  // namespace kestrelon::tables
