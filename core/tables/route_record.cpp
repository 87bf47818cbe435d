#include "tables/route_record.h"

namespace kestrelon::tables {

std::string_view AfiName(Afi afi) {
  return afi == Afi::kIpv6 ? "ipv6" : "ipv4";
}

}  // namespace kestrelon::tables
