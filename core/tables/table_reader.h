// The readers of routing-table captures, one per platform behind one interface, and the
// platforms by name.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "tables/route_sink.h"

namespace kestrelon::tables {

enum class Platform {
  kIos,
  kIosXr,
  kEos,
  kNxos,
  kAsa,
  kJunos,
  kLinux,
  kQuagga,
  kPanos,
  kFortios,
  kVrp,
  kComware,
  kRouteros,
  kYamaha,
  kSir,
  kSeil,
  kAoscx,
  kProcurve,
  kGaia,
  kIronware,
  kVedge,
  kSros,
};

// "ios", "iosxr", "eos", "nxos", "asa", "junos", "linux", ... as --platform takes them.
std::string_view PlatformName(Platform platform);
// The platform of a name as PlatformName gives it, or none.
std::optional<Platform> PlatformFromName(std::string_view name);
// Every platform, in the order above.
std::span<const Platform> AllPlatforms();

class LineAccount;

class TableReader {
 public:
  virtual ~TableReader() = default;
  // Reads every route of one capture (its whole text) into sink, in printed order, and counts
  // each line of it in account, once, in order. Never fails: a line that is no part of a route
  // is counted as what it is, or as not understood.
  virtual void Read(std::string_view capture, RouteSink& sink, LineAccount& account) const = 0;
  // The same without an account.
  void Read(std::string_view capture, RouteSink& sink) const;

  // How a capture is placed on a platform beyond the Cisco family (whose marks placement knows
  // itself). Texts that only this platform prints, in its legend, headings or prompt: the
  // platform with the most of them found wins, two with as many are refused as a guess.
  virtual std::span<const std::string_view> Marks() const { return {}; }
  // Whether line is a route line in a shape that no other platform prints; counted when no
  // mark decides.
  virtual bool IsOwnRouteLine(std::string_view /*line*/) const { return false; }
};

// The reader of a platform.
std::unique_ptr<TableReader> MakeReader(Platform platform);

}  // namespace kestrelon::tables
