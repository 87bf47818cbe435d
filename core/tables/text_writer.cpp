#include "tables/text_writer.h"

#include <algorithm>
#include <array>
#include <vector>

#include "tables/address_text.h"
#include "tables/visible_text.h"

namespace kestrelon::tables {
namespace {

constexpr std::size_t kColumns = 7;
using Cells = std::array<std::string, kColumns>;

}  // namespace

std::string CostText(const RouteView& route) {
  if (!route.distance && !route.metric) {
    return {};
  }
  const auto number = [](const auto& value) {
    return value ? std::to_string(*value) : std::string("-");
  };
  return "[" + number(route.distance) + "/" + number(route.metric) + "]";
}

std::string NextHopsText(const RouteView& route, bool canonical) {
  std::string text;
  for (const NextHopView& hop : route.nextHops) {
    if (!text.empty()) {
      text.append("; ");
    }
    std::string one;
    if (hop.address) {
      const auto rewritten = canonical ? CanonicalIpv6(*hop.address) : std::nullopt;
      one.append(rewritten ? std::string_view(*rewritten) : *hop.address);
    }
    if (hop.vrf) {
      one.append(one.empty() ? "" : " ").append("(").append(*hop.vrf).append(")");
    }
    if (hop.interface) {
      one.append(one.empty() ? "" : " ").append(*hop.interface);
    }
    text.append(one);
  }
  return text;
}

namespace {

Cells RowOf(const RouteView& route) {
  // A capture's bytes must not act on the terminal that shows them.
  return {VisibleText(route.vrf),
          VisibleText(route.protocol),
          VisibleText(route.flags),
          VisibleText(route.prefix),
          CostText(route),
          VisibleText(NextHopsText(route)),
          VisibleText(route.uptime.value_or(""))};
}

}  // namespace

void TextRouteWriter::BeginCapture(std::string_view source, Platform platform) {
  table_ = RouteTable();
  if (several_) {
    std::string heading = captures_ > 0 ? "\r\n" : "";
    heading.append("==> ").append(VisibleText(source)).append(" (").append(PlatformName(platform));
    heading.append(") <==\r\n");
    out_.Write(heading);
  }
  ++captures_;
}

void TextRouteWriter::EndCapture() {
  std::array<std::size_t, kColumns> widths{};
  table_.ForEach([&](const RouteView& route) {
    const Cells cells = RowOf(route);
    for (std::size_t c = 0; c < kColumns; ++c) {
      widths[c] = std::max(widths[c], cells[c].size());
    }
  });
  std::string line;
  table_.ForEach([&](const RouteView& route) {
    const Cells cells = RowOf(route);
    line.clear();
    for (std::size_t c = 0; c < kColumns; ++c) {
      line.append(cells[c]);
      if (c + 1 < kColumns) {
        line.append(widths[c] - cells[c].size() + 2, ' ');
      }
    }
    line.erase(line.find_last_not_of(' ') + 1);
    line.append("\r\n");
    out_.Write(line);
  });
  table_ = RouteTable();
}

}  // namespace kestrelon::tables
