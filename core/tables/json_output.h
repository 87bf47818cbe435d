// JSON written piece by piece to a ByteSink: the punctuation and keys as given, every text
// that needs escaping through RapidJSON's writer (made valid UTF-8 first; a text with nothing
// to escape is copied between quotes), and a route as the one record every JSON output of the
// route-table model shares.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "tables/byte_sink.h"
#include "tables/line_accounting.h"
#include "tables/route_record.h"

namespace kestrelon::tables {

class JsonOutput {
 public:
  explicit JsonOutput(ByteSink& out);
  ~JsonOutput();
  JsonOutput(const JsonOutput&) = delete;
  JsonOutput& operator=(const JsonOutput&) = delete;

  // Punctuation and keys, written as they are.
  void Raw(std::string_view bytes);
  // A string value; a byte that is no part of valid UTF-8 becomes U+FFFD.
  void Text(std::string_view text);
  // A string value, or null.
  void Optional(const OptionalText& text);
  void Number(std::uint64_t value);
  void Null();
  // {"vrf": …, "afi": …, "protocol": …, "flags": …, "prefix": …, "distance": …, "metric": …,
  //  "next_hops": [{"address", "interface", "vrf"}, …], "uptime": …}
  void Record(const RouteView& route);
  // {"platform": …, "decided_by": …, "lines": N, "not_understood": K,
  //  "examples": [{"line": n, "text": …}, …]}: how a capture was read.
  void Reading(const ReadingReport& reading);
  // Passes the buffered bytes on.
  void Flush();

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kestrelon::tables
