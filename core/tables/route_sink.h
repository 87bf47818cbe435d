// Where a reader puts the routes it reads, one complete route (all its paths) at a time: a
// writer that streams them out, or a table that keeps them.
#pragma once

#include <memory>

#include "tables/route_record.h"

namespace kestrelon::tables {

class RouteSink {
 public:
  virtual ~RouteSink() = default;
  // route and what it points to are valid only during the call.
  virtual void Put(const RouteView& route) = 0;

  // For a reader that reads the end of a capture on another thread while this sink takes the
  // routes before it: a sink that takes those later routes there, or none when this sink
  // cannot (the reader then keeps them and puts them here afterwards). Its routes follow all
  // routes put here once AppendPart is called with it, after the last of those.
  virtual std::unique_ptr<RouteSink> NewPart() { return nullptr; }
  // Puts the routes of part (made by NewPart) after those put here so far.
  virtual void AppendPart(std::unique_ptr<RouteSink> /*part*/) {}
};

}  // namespace kestrelon::tables
