// The readers of routing-table captures, one per platform behind one interface, and the
// platforms by name.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "tables/route_sink.h"

namespace kestrelon::tables {

enum class Platform { kIos, kIosXr, kEos, kNxos, kAsa };

// "ios", "iosxr", "eos", "nxos", "asa".
std::string_view PlatformName(Platform platform);
// The platform of a name as PlatformName gives it, or none.
std::optional<Platform> PlatformFromName(std::string_view name);

class TableReader {
 public:
  virtual ~TableReader() = default;
  // Reads every route of one capture (its whole text) into sink, in printed order. Never fails:
  // a line that is no part of a route is passed over.
  virtual void Read(std::string_view capture, RouteSink& sink) const = 0;
};

// The reader of a platform.
std::unique_ptr<TableReader> MakeReader(Platform platform);

}  // namespace kestrelon::tables
