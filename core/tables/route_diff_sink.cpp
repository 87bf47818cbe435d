#include "tables/route_diff_sink.h"

#include <array>

namespace kestrelon::tables {
namespace {

constexpr std::array<std::string_view, kRouteFieldCount> kFieldNames = {
    "protocol", "distance", "metric", "next_hops", "interface", "flags", "uptime"};

}  // namespace

std::string_view RouteFieldName(RouteField field) {
  return kFieldNames[static_cast<std::size_t>(field)];
}

std::optional<RouteField> RouteFieldFromName(std::string_view name) {
  for (std::size_t i = 0; i < kFieldNames.size(); ++i) {
    if (kFieldNames[i] == name) {
      return static_cast<RouteField>(i);
    }
  }
  return std::nullopt;
}

std::vector<RouteField> RouteFields::List() const {
  std::vector<RouteField> fields;
  for (std::size_t i = 0; i < kRouteFieldCount; ++i) {
    if (Has(static_cast<RouteField>(i))) {
      fields.push_back(static_cast<RouteField>(i));
    }
  }
  return fields;
}

std::string_view RouteChangeName(RouteChange change) {
  switch (change) {
    case RouteChange::kRemoved:
      return "removed";
    case RouteChange::kAdded:
      return "added";
    case RouteChange::kChanged:
      return "changed";
  }
  return "changed";
}

}  // namespace kestrelon::tables
