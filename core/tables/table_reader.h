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
};

// The reader of a platform.
std::unique_ptr<TableReader> MakeReader(Platform platform);

}  // namespace kestrelon::tables
