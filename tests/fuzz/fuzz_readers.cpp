// Any bytes through one route-table reader (a target per reader of the Cisco family is built
// from this file, the reader chosen by KESTRELON_FUZZ_READER; -1 runs every further platform's
// reader on each input): it never fails or reads out of bounds, each record it
// gives is well formed, it counts every line exactly once, a capture and its twin whose
// indentation was stripped give the same records (where only path lines were indented), and an
// IOS capture read in two halves at once gives the records of one reading.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/line_cursor.h"
#include "fuzz_common.h"
#include "tables/json_writer.h"
#include "tables/line_accounting.h"
#include "tables/readers/ios.h"
#include "tables/route_table.h"
#include "tables/table_reader.h"

using kestrelon::fuzz::HasLineEnd;
using kestrelon::fuzz::Require;
namespace tables = kestrelon::tables;

namespace {

class CheckedSink : public tables::RouteSink {
 public:
  explicit CheckedSink(tables::RouteSink& next) : next_(next) {}
  void Put(const tables::RouteView& route) override {
    Require(!route.vrf.empty(), "a route has a VRF");
    Require(!HasLineEnd(route.protocol) && !HasLineEnd(route.prefix) && !HasLineEnd(route.vrf),
            "no field spans lines");
    const std::size_t slash = route.prefix.rfind('/');
    Require(slash != std::string_view::npos, "a prefix has a length");
    const std::string_view length = route.prefix.substr(slash + 1);
    Require(!length.empty() && length.size() <= 3, "a prefix length of one to three digits");
    for (const tables::NextHopView& hop : route.nextHops) {
      Require(hop.address || hop.interface || hop.vrf, "a next hop shows something");
      Require(!hop.address || !HasLineEnd(*hop.address), "an address on one line");
      Require(!hop.interface || !HasLineEnd(*hop.interface), "an interface on one line");
    }
    ++routes;
    next_.Put(route);
  }
  std::size_t routes = 0;

 private:
  tables::RouteSink& next_;
};

// Every line counted once: as many lines as the capture has, each of one kind, the examples
// in order among them.
void CheckAccount(std::string_view capture, const tables::LineAccount& account) {
  std::size_t lines = 0;
  for (kestrelon::files::LineCursor cursor(capture); !cursor.AtEnd(); cursor.Next()) {
    ++lines;
  }
  Require(account.lines() == lines, "every line counted");
  std::size_t kinds = 0;
  for (std::size_t i = 0; i < tables::kLineKindCount; ++i) {
    kinds += account.count(static_cast<tables::LineKind>(i));
  }
  Require(kinds == lines, "each line counted as one kind");
  std::size_t last = 0;
  for (const tables::LineExample& example : account.examples()) {
    Require(example.line > last && example.line <= lines, "examples in order, among the lines");
    last = example.line;
  }
  Require(account.examples().size() ==
              std::min(account.notUnderstood(), tables::LineAccount::kExamplesKept),
          "the first lines not understood kept");
}

// The records of capture as JSON, read in one piece.
std::string Records(const tables::TableReader& reader, std::string_view capture) {
  tables::StringByteSink json;
  tables::JsonRouteWriter writer(json, false);
  writer.BeginCapture("fuzz", tables::Platform::kIos);
  reader.Read(capture, writer);
  writer.EndCapture();
  writer.Finish();
  return json.text;
}

// The twin of capture whose lines lost their leading blanks; none when a line that is no path
// was indented (a code in column 1 or not is what tells an IOS route from other text).
std::optional<std::string> StrippedTwin(std::string_view capture) {
  std::string twin;
  for (kestrelon::files::LineCursor cursor(capture); !cursor.AtEnd();) {
    std::string_view line = cursor.Next();
    const std::size_t first = line.find_first_not_of(" \t");
    if (first != std::string_view::npos && first > 0) {
      const std::string_view text = line.substr(first);
      if (!text.starts_with('[') && !text.starts_with("via ") && !text.starts_with("*via ")) {
        return std::nullopt;
      }
      line = text;
    }
    if (line.find('\b') != std::string_view::npos) {
      return std::nullopt;  // a backspace may undo the blanks
    }
    twin.append(line).append("\n");
  }
  return twin;
}

// Reads input with reader, into a table and through the JSON writer, and checks both agree.
void CheckReader(const tables::TableReader& reader, const std::uint8_t* data, std::size_t size) {
  // An exact-size copy, so that a read past the capture's end is a heap overflow.
  const std::vector<char> owned(data, data + size);
  const std::string_view capture(owned.data(), owned.size());
  tables::RouteTable table;
  CheckedSink checked(table);
  tables::LineAccount account;
  reader.Read(capture, checked, account);
  Require(table.size() == checked.routes, "the table holds every route put");
  CheckAccount(capture, account);

  // Read twice, the same records: a reader keeps no state between captures.
  tables::RouteTable again;
  reader.Read(capture, again);
  Require(again.size() == table.size(), "a second reading gives as many routes");

  const std::optional<std::string> twin = StrippedTwin(capture);
  if (table.size() == 0) {
    // No route (most inputs, for most readers): the twin gives none either. Checked without
    // JSON, whose writer's buffer costs more than the reading of a small input.
    tables::RouteTable twinTable;
    if (twin) {
      reader.Read(*twin, twinTable);
    }
    Require(twinTable.size() == 0, "a capture without its indentation gives the same records");
    return;
  }
  const std::string json = Records(reader, capture);
  Require(!json.empty() && json.back() == '\n', "the JSON is complete");
  if (twin) {
    Require(Records(reader, *twin) == json,
            "a capture without its indentation gives the same records");
  }
}

// A large IOS capture is read in two halves at once: split anywhere, the same records.
void CheckHalves(const std::uint8_t* data, std::size_t size) {
  const std::vector<char> owned(data, data + size);
  const std::string_view capture(owned.data(), owned.size());
  const auto records = [&](std::size_t parallelFrom) {
    tables::StringByteSink json;
    tables::JsonRouteWriter writer(json, false);
    writer.BeginCapture("fuzz", tables::Platform::kIos);
    tables::IosReader(parallelFrom).Read(capture, writer);
    writer.EndCapture();
    writer.Finish();
    return json.text;
  };
  Require(records(1) == records(~std::size_t{0}), "two halves read as one");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (KESTRELON_FUZZ_READER < 0) {
    for (const tables::Platform platform : tables::AllPlatforms()) {
      if (platform > tables::Platform::kAsa) {
        CheckReader(*tables::MakeReader(platform), data, size);
      }
    }
    return 0;
  }
  const auto platform = static_cast<tables::Platform>(KESTRELON_FUZZ_READER);
  CheckReader(*tables::MakeReader(platform), data, size);
  if (platform == tables::Platform::kIos) {
    CheckHalves(data, size);
  }
  return 0;
}
