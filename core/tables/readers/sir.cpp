#include "tables/readers/sir.h"

#include <array>

#include "tables/capture_lines.h"
#include "tables/line_accounting.h"
#include "tables/line_shapes.h"
#include "tables/route_builder.h"
#include "tables/row_columns.h"

namespace kestrelon::tables {
namespace {

constexpr std::array<std::string_view, 1> kMarks = {"FP  Destination"};

// The codes of the FP column: "A" is OSPF inter-area, "Bi"/"Be" internal/external BGP.
RouteSource SourceOfSirCode(std::string_view code) {
  if (code == "A") {
    return RouteSource::kOspfInter;
  }
  if (code == "Bi") {
    return RouteSource::kBgpInternal;
  }
  if (code == "Be") {
    return RouteSource::kBgpExternal;
  }
  return SourceOfCode(code);  // S C L R O E1 E2 N1 N2 B as IOS prints them
}

bool IsCode(std::string_view code) {
  if (code.empty() || code.size() > 2 || code[0] < 'A' || code[0] > 'Z') {
    return false;
  }
  for (const char c : code) {
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) {
      return false;
    }
  }
  return true;
}

// "04:56:03", "6d23h45m", "3w6d23h".
bool IsUptime(std::string_view word) {
  return !word.empty() && word[0] >= '0' && word[0] <= '9' &&
         word.find_first_not_of("0123456789:ywdhms") == std::string_view::npos;
}

// The head of a row: the FP column and the destination.
struct SirHead {
  char flag = ' ';
  std::string_view code;
  RowDestination destination;
};

std::optional<SirHead> ReadHead(std::string_view fp, std::string_view destination) {
  SirHead head;
  head.code = fp;
  if (fp.starts_with('*') || fp.starts_with('X')) {
    head.flag = fp[0];
    head.code = fp.substr(1);
  }
  const std::optional<PrefixText> prefix = ReadPrefix(destination);
  if (!IsCode(head.code) || !prefix) {
    return std::nullopt;
  }
  head.destination = {prefix->afi, prefix->address, prefix->length};
  return head;
}

// "GATEWAY DISTANCE UPTIME INTERFACE": the path part of a row, or of the line after a wide
// destination.
std::optional<RouteBuilder::Path> ReadPathWords(std::string_view gateway, std::string_view distance,
                                                std::string_view uptime,
                                                std::string_view interface) {
  if (!IsDigits(distance) || !IsUptime(uptime) || interface.empty()) {
    return std::nullopt;
  }
  RouteBuilder::Path path;
  path.address = RowGatewayAddress(gateway);  // a name ("rmt2") repeats the interface
  path.distance = files::ReadNumber<std::uint32_t>(distance);
  path.uptime = uptime;
  path.interface = interface;
  if (!path.distance) {
    return std::nullopt;
  }
  return path;
}

}  // namespace

std::span<const std::string_view> SirReader::Marks() const {
  return kMarks;
}

bool SirReader::IsOwnRouteLine(std::string_view line) const {
  const RowColumns<6> row = SplitRow<6>(line);
  return row.count == 6 && !row.more && ReadHead(row[0], row[1]) &&
         ReadPathWords(row[2], row[3], row[4], row[5]);
}

void SirReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  RouteBuilder builder(sink, SourceOfSirCode);
  bool inLegend = false;
  bool awaitingPath = false;  // a destination too wide for its column printed alone
  ForEachCaptureLine(capture, [&](std::string_view line) {
    const std::string_view text = files::TrimBlanks(line);
    const RowColumns<6> row = SplitRow<6>(text);
    LineKind kind = LineKind::kNotUnderstood;
    std::optional<SirHead> head;
    std::optional<RouteBuilder::Path> path;
    if ((row.count == 6 || row.count == 2) && !row.more) {
      head = ReadHead(row[0], row[1]);
      if (head && row.count == 6) {
        path = ReadPathWords(row[2], row[3], row[4], row[5]);
      }
    }
    if (head && (path || row.count == 2)) {
      const char flags[] = {head->flag, '\0'};
      builder.Begin(head->destination.afi, head->code, head->flag == ' ' ? "" : flags,
                    head->destination.address, head->destination.length);
      builder.SetSelected(head->flag == '*');
      if (path) {
        builder.AddPath(*path);
      }
      awaitingPath = !path;
      kind = LineKind::kRoute;
    } else if (awaitingPath && row.count == 4 &&
               (path = ReadPathWords(row[0], row[1], row[2], row[3]))) {
      builder.AddPath(*path);
      awaitingPath = false;
      kind = LineKind::kPath;
    } else if ((text.starts_with("FP ") && text.find("Destination") != std::string_view::npos) ||
               (!text.empty() && text.find_first_not_of("- ") == std::string_view::npos)) {
      kind = LineKind::kHeader;  // the heading and its rule
    } else {
      kind = ClassifyOtherLine(line, inLegend);
    }
    if (kind != LineKind::kRoute && kind != LineKind::kPath && kind != LineKind::kPager) {
      builder.Finish();
      awaitingPath = false;
    }
    inLegend = kind == LineKind::kLegend;
    account.Count(kind, line);
  });
  builder.Finish();
}

}  // namespace kestrelon::tables
