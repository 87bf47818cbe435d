#include "tables/readers/gaia.h"

#include <array>
#include <string>

#include "files/text_fields.h"
#include "tables/capture_lines.h"
#include "tables/line_accounting.h"
#include "tables/line_shapes.h"
#include "tables/route_builder.h"
#include "tables/row_columns.h"

namespace kestrelon::tables {
namespace {

constexpr std::array<std::string_view, 3> kMarks = {"K - Kernel Remnant",
                                                    "IntraArea (IA - InterArea", "H - Hidden"};

// The legend's codes: "O IA" inter-area, "O E" external, "O N" NSSA (types not printed), "B D"
// a BGP default, "U" unreachable.
RouteSource SourceOfGaiaCode(std::string_view code) {
  const std::string_view head = code.substr(0, code.find(' '));
  if (head == "O") {
    return code == "O IA" ? RouteSource::kOspfInter : RouteSource::kOspf;
  }
  if (head == "B") {
    return RouteSource::kBgp;
  }
  if (head == "A") {
    return RouteSource::kAggregate;
  }
  if (head == "U") {
    return RouteSource::kDiscard;
  }
  if (head == "H" || head == "P") {
    return RouteSource::kOther;  // hidden, suppressed
  }
  return SourceOfCode(code);  // C S R K
}

// "via 192.0.2.1, eth0, cost 0, age 4238351" or "is directly connected, eth1": a path.
std::optional<RouteBuilder::Path> ReadPath(std::string_view text) {
  RouteBuilder::Path path;
  std::string_view field = NextCommaField(text);
  if (field.starts_with("via ")) {
    const std::string_view target = files::TrimBlanks(field.substr(4));
    (IsAddress(target) ? path.address : path.interface) = target;
  } else if (field != "is directly connected") {
    return std::nullopt;
  }
  while (!text.empty()) {
    field = NextCommaField(text);
    if (field.starts_with("cost ")) {
      path.metric = files::ReadNumber<std::uint64_t>(files::TrimBlanks(field.substr(5)));
      if (!path.metric) {
        return std::nullopt;
      }
    } else if (field.starts_with("age ")) {
      path.uptime = files::TrimBlanks(field.substr(4));
    } else if (!field.empty() && !path.interface && field.find(' ') == std::string_view::npos) {
      path.interface = field;
    } else {
      return std::nullopt;
    }
  }
  return path;
}

}  // namespace

std::span<const std::string_view> GaiaReader::Marks() const {
  return kMarks;
}

bool GaiaReader::IsOwnRouteLine(std::string_view line) const {
  const std::optional<RouteHead> head = ReadRouteHead(line);
  return head && head->rest.find(", cost ") != std::string_view::npos &&
         head->rest.find(", age ") != std::string_view::npos &&
         ReadPath(files::TrimBlanks(head->rest));
}

void GaiaReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  RouteBuilder builder(sink, SourceOfGaiaCode);
  std::string code;
  LineKind last = LineKind::kBlank;
  ForEachCaptureLine(capture, [&](std::string_view line) {
    const std::string_view text = files::TrimBlanks(line);
    LineKind kind = LineKind::kNotUnderstood;
    const std::optional<RouteHead> head = ReadRouteHead(text);
    const std::string_view rest = head ? files::TrimBlanks(head->rest) : std::string_view();
    const std::optional<RouteBuilder::Path> path = head                       ? ReadPath(rest)
                                                   : text.starts_with("via ") ? ReadPath(text)
                                                                              : std::nullopt;
    const bool afterRoute = last == LineKind::kRoute || last == LineKind::kPath ||
                            (last == LineKind::kHeader && builder.Pending());
    // "is a blackhole route", "is a reject route": a route with no path.
    if (head && (path || rest.empty() || rest.starts_with("is a "))) {
      // The code without the inactive marker "i" ("Si", "O IA i").
      code.clear();
      bool inactive = false;
      for (const char c : head->code) {
        if (c == 'i' &&
            (code.empty() || code.back() == ' ' || (code.back() >= 'A' && code.back() <= 'Z'))) {
          inactive = true;
        } else if (c != ' ' || (!code.empty() && code.back() != ' ')) {
          code.push_back(c);
        }
      }
      while (!code.empty() && code.back() == ' ') {
        code.pop_back();
      }
      builder.Begin(head->prefix.afi, code, inactive ? "i" : "", head->prefixText);
      if (inactive) {
        builder.SetSelected(false);
      }
      if (path) {
        builder.AddPath(*path);
      }
      kind = LineKind::kRoute;
    } else if (path && builder.Pending()) {
      builder.AddPath(*path);  // a further path of the route
      kind = LineKind::kPath;
    } else if (afterRoute && !text.empty() && (line[0] == ' ' || line[0] == '\t')) {
      kind = LineKind::kHeader;  // the route's comment, indented under it
    } else {
      kind = ClassifyOtherLine(line, last == LineKind::kLegend);
      if (kind == LineKind::kNotUnderstood && afterRoute) {
        kind = LineKind::kHeader;  // the comment of a capture whose indentation was stripped
      }
      if (kind != LineKind::kPager && kind != LineKind::kHeader) {
        builder.Finish();
      }
    }
    if (kind != LineKind::kPager) {
      last = kind;
    }
    account.Count(kind, line);
  });
  builder.Finish();
}

}  // namespace kestrelon::tables
