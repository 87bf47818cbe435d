#include "tables/table_reader.h"

#include <array>
#include <utility>

#include "tables/line_accounting.h"
#include "tables/readers/asa.h"
#include "tables/readers/eos.h"
#include "tables/readers/ios.h"
#include "tables/readers/iosxr.h"
#include "tables/readers/nxos.h"

namespace kestrelon::tables {
namespace {

constexpr std::array<std::pair<Platform, std::string_view>, 5> kNames = {{
    {Platform::kIos, "ios"},
    {Platform::kIosXr, "iosxr"},
    {Platform::kEos, "eos"},
    {Platform::kNxos, "nxos"},
    {Platform::kAsa, "asa"},
}};

}  // namespace

std::string_view PlatformName(Platform platform) {
  for (const auto& [p, name] : kNames) {
    if (p == platform) {
      return name;
    }
  }
  return "ios";
}

std::optional<Platform> PlatformFromName(std::string_view name) {
  for (const auto& [p, known] : kNames) {
    if (known == name) {
      return p;
    }
  }
  return std::nullopt;
}

void TableReader::Read(std::string_view capture, RouteSink& sink) const {
  LineAccount account;
  Read(capture, sink, account);
}

std::unique_ptr<TableReader> MakeReader(Platform platform) {
  switch (platform) {
    case Platform::kIos:
      return std::make_unique<IosReader>();
    case Platform::kIosXr:
      return std::make_unique<IosXrReader>();
    case Platform::kEos:
      return std::make_unique<EosReader>();
    case Platform::kNxos:
      return std::make_unique<NxosReader>();
    case Platform::kAsa:
      return std::make_unique<AsaReader>();
  }
  return std::make_unique<IosReader>();
}

}  // namespace kestrelon::tables
