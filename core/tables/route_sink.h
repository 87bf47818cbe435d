// Where a reader puts the routes it reads, one complete route (all its paths) at a time: a
// writer that streams them out, or a table that keeps them.
#pragma once

#include "tables/route_record.h"

namespace kestrelon::tables {

class RouteSink {
 public:
  virtual ~RouteSink() = default;
  // route and what it points to are valid only during the call.
  virtual void Put(const RouteView& route) = 0;
};

}  // namespace kestrelon::tables
