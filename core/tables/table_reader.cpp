#include "tables/table_reader.h"

#include <array>
#include <utility>

#include "tables/line_accounting.h"
#include "tables/readers/aoscx.h"
#include "tables/readers/asa.h"
#include "tables/readers/comware.h"
#include "tables/readers/eos.h"
#include "tables/readers/fortios.h"
#include "tables/readers/gaia.h"
#include "tables/readers/ios.h"
#include "tables/readers/iosxr.h"
#include "tables/readers/ironware.h"
#include "tables/readers/junos.h"
#include "tables/readers/linux.h"
#include "tables/readers/nxos.h"
#include "tables/readers/panos.h"
#include "tables/readers/procurve.h"
#include "tables/readers/quagga.h"
#include "tables/readers/routeros.h"
#include "tables/readers/seil.h"
#include "tables/readers/sir.h"
#include "tables/readers/sros.h"
#include "tables/readers/vedge.h"
#include "tables/readers/vrp.h"
#include "tables/readers/yamaha.h"

namespace kestrelon::tables {
namespace {

constexpr std::array<std::pair<Platform, std::string_view>, 22> kNames = {{
    {Platform::kIos, "ios"},           {Platform::kIosXr, "iosxr"},
    {Platform::kEos, "eos"},           {Platform::kNxos, "nxos"},
    {Platform::kAsa, "asa"},           {Platform::kJunos, "junos"},
    {Platform::kLinux, "linux"},       {Platform::kQuagga, "quagga"},
    {Platform::kPanos, "panos"},       {Platform::kFortios, "fortios"},
    {Platform::kVrp, "vrp"},           {Platform::kComware, "comware"},
    {Platform::kRouteros, "routeros"}, {Platform::kYamaha, "yamaha"},
    {Platform::kSir, "sir"},           {Platform::kSeil, "seil"},
    {Platform::kAoscx, "aoscx"},       {Platform::kProcurve, "procurve"},
    {Platform::kGaia, "gaia"},         {Platform::kIronware, "ironware"},
    {Platform::kVedge, "vedge"},       {Platform::kSros, "sros"},
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

std::span<const Platform> AllPlatforms() {
  static constexpr auto kAll = [] {
    std::array<Platform, kNames.size()> all{};
    for (std::size_t i = 0; i < kNames.size(); ++i) {
      all[i] = kNames[i].first;
    }
    return all;
  }();
  return kAll;
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
    case Platform::kJunos:
      return std::make_unique<JunosReader>();
    case Platform::kLinux:
      return std::make_unique<LinuxReader>();
    case Platform::kQuagga:
      return std::make_unique<QuaggaReader>();
    case Platform::kPanos:
      return std::make_unique<PanosReader>();
    case Platform::kFortios:
      return std::make_unique<FortiosReader>();
    case Platform::kVrp:
      return std::make_unique<VrpReader>();
    case Platform::kComware:
      return std::make_unique<ComwareReader>();
    case Platform::kRouteros:
      return std::make_unique<RouterosReader>();
    case Platform::kYamaha:
      return std::make_unique<YamahaReader>();
    case Platform::kSir:
      return std::make_unique<SirReader>();
    case Platform::kSeil:
      return std::make_unique<SeilReader>();
    case Platform::kAoscx:
      return std::make_unique<AoscxReader>();
    case Platform::kProcurve:
      return std::make_unique<ProcurveReader>();
    case Platform::kGaia:
      return std::make_unique<GaiaReader>();
    case Platform::kIronware:
      return std::make_unique<IronwareReader>();
    case Platform::kVedge:
      return std::make_unique<VedgeReader>();
    case Platform::kSros:
      return std::make_unique<SrosReader>();
  }
  return std::make_unique<IosReader>();
}

}  // namespace kestrelon::tables
