#include "tables/readers/seil.h"

#include <array>
#include <string>

#include "tables/capture_lines.h"
#include "tables/line_accounting.h"
#include "tables/line_shapes.h"
#include "tables/route_builder.h"
#include "tables/row_columns.h"

namespace kestrelon::tables {
namespace {

constexpr std::array<std::string_view, 2> kMarks = {"M - Miscellaneous", "* - System route"};

// "S*", "C*", "M*", "S!": the protocol letters, then the markers.
bool IsFlags(std::string_view word) {
  const std::size_t letters = word.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  return letters > 0 && letters != std::string_view::npos &&
         word.find_first_not_of("*!", letters) == std::string_view::npos;
}

bool IsDistance(std::string_view word) {
  return word == "-" || IsDigits(word);
}

// "INTERFACE FLAGS DIST.": the end of every row.
bool IsRowEnd(std::string_view interface, std::string_view flags, std::string_view distance) {
  return !interface.empty() && IsFlags(flags) && IsDistance(distance);
}

}  // namespace

std::span<const std::string_view> SeilReader::Marks() const {
  return kMarks;
}

bool SeilReader::IsOwnRouteLine(std::string_view line) const {
  const RowColumns<5> row = SplitRow<5>(line);
  return row.count == 5 && !row.more && ReadRowDestination(row[0], Afi::kIpv4) &&
         IsRowEnd(row[2], row[3], row[4]) && row[3].find_first_of("*!") != std::string_view::npos;
}

void SeilReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  RouteBuilder builder(sink);
  Afi family = Afi::kIpv4;  // of "default" when its gateway does not tell
  bool inLegend = false;
  // A row that wrapped after its gateway (or destination): its first line, counted when the
  // next line tells whether it ends it.
  std::string wrapped;
  const auto emit = [&](std::string_view destination, std::string_view gateway,
                        std::string_view interface, std::string_view flags,
                        std::string_view distance) {
    const std::optional<std::string_view> address = RowGatewayAddress(gateway);
    const std::optional<RowDestination> to = ReadRowDestination(
        destination, address && address->find(':') != std::string_view::npos ? Afi::kIpv6 : family);
    const std::size_t letters = flags.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    builder.Begin(to->afi, {}, flags.substr(letters), to->address, to->length);
    builder.SetProtocol(flags.substr(0, letters));
    RouteBuilder::Path path;
    path.address = address;  // a name ("pppoe0", "discard") repeats the interface
    path.interface = interface;
    path.distance = files::ReadNumber<std::uint32_t>(distance);
    builder.AddPath(path);
    if (destination != "default") {
      family = to->afi;
    }
  };
  ForEachCaptureLine(capture, [&](std::string_view line) {
    const std::string_view text = files::TrimBlanks(line);
    const RowColumns<5> row = SplitRow<5>(text);
    if (!wrapped.empty()) {
      const RowColumns<2> head = SplitRow<2>(wrapped);
      const bool ends = head.count == 2 ? row.count == 3 && IsRowEnd(row[0], row[1], row[2])
                                        : row.count == 4 && IsRowEnd(row[1], row[2], row[3]);
      account.Count(ends ? LineKind::kRoute : LineKind::kNotUnderstood, wrapped);
      if (ends) {
        if (head.count == 2) {
          emit(head[0], head[1], row[0], row[1], row[2]);
        } else {
          emit(head[0], row[0], row[1], row[2], row[3]);
        }
        wrapped.clear();
        account.Count(LineKind::kPath, line);
        return;
      }
      wrapped.clear();
    }
    LineKind kind = LineKind::kNotUnderstood;
    const bool destination = ReadRowDestination(row[0], Afi::kIpv4).has_value();
    if (destination && row.count == 5 && !row.more && IsRowEnd(row[2], row[3], row[4])) {
      emit(row[0], row[1], row[2], row[3], row[4]);
      kind = LineKind::kRoute;
    } else if (destination && (row.count == 1 || row.count == 2)) {
      builder.Finish();
      wrapped.assign(line);
      return;
    } else if (text.starts_with("Destination") && text.find("Gateway") != std::string_view::npos) {
      kind = LineKind::kHeader;
    } else if (text.starts_with("Flags:")) {
      kind = LineKind::kLegend;
    } else {
      kind = ClassifyOtherLine(line, inLegend);
      if (kind == LineKind::kPrompt) {
        family = text.find("route6") != std::string_view::npos ? Afi::kIpv6 : Afi::kIpv4;
      }
    }
    if (kind != LineKind::kRoute && kind != LineKind::kPager) {
      builder.Finish();
    }
    inLegend = kind == LineKind::kLegend;
    account.Count(kind, line);
  });
  if (!wrapped.empty()) {
    account.Count(LineKind::kNotUnderstood, wrapped);
  }
  builder.Finish();
}

}  // namespace kestrelon::tables
