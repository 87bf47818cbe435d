#include "tables/readers/ironware.h"

#include <array>
#include <string>

#include "files/text_fields.h"
#include "tables/capture_lines.h"
#include "tables/line_shapes.h"
#include "tables/route_builder.h"
#include "tables/row_words.h"

namespace kestrelon::tables {
namespace {

constexpr std::array<std::string_view, 6> kMarks = {
    "Type Codes - B:BGP",
    "Cost - Dist/Metric",
    "Codes - i:iBGP e:eBGP",
    "Codes - L1:Level-1 L2:Level-2",
    "i:Inter Area 1:External Type 1 2:External Type 2",
    "Total number of IP routes: ",
};

// "110/28": the Cost column, distance and metric.
bool IsCost(std::string_view word) {
  const std::size_t slash = word.find('/');
  return slash != std::string_view::npos && IsDigits(word.substr(0, slash)) &&
         IsDigits(word.substr(slash + 1));
}

// "O", "Be", "IL2", "O2", "*S": a letter, then at most three letters or digits.
bool IsTypeCode(std::string_view word) {
  if (word.starts_with('*')) {
    word.remove_prefix(1);
  }
  if (word.empty() || word.size() > 4 || word[0] < 'A' || word[0] > 'Z') {
    return false;
  }
  return IsWordOf(word, "*");
}

// One row of the table. IPv4: "1  10.0.0.0/24  10.1.1.1  eth 2/2  110/28  O  2d1h  -" (older
// releases: address and dotted mask, a metric alone, no uptime); IPv6: "O  2001:db8::/64
// fe80::1  eth 1/1  110/2  1d2h  -". An ECMP row repeats the prefix without the number.
struct Row {
  bool numbered = false;
  bool complete = false;   // has its cost and type: not cut short by the line's end
  bool typeFirst = false;  // the IPv6 table's layout
  std::string_view type;
  std::string_view prefix;  // as printed; empty for a path alone
  std::string_view maskAddress;
  int maskLength = -1;  // older releases: address and dotted mask
  Afi afi = Afi::kIpv4;
  std::string_view gateway, port, cost, uptime, srcVrf;
};

std::optional<Row> ReadRow(std::string_view text) {
  const RowWords<16> w(text);
  if (w.size() < 2 || w.overflow()) {
    return std::nullopt;
  }
  Row row;
  std::size_t i = 0;
  if (IsDigits(w[0])) {
    row.numbered = true;
    i = 1;
  } else if (IsTypeCode(w[0]) && ReadPrefix(w[1])) {
    row.type = w[0];
    row.typeFirst = true;
    i = 1;
  }
  if (const std::optional<PrefixText> prefix = ReadPrefix(w[i])) {
    row.prefix = w[i];
    row.afi = prefix->afi;
    ++i;
  } else if (IsIpv4Address(w[i]) && IsDottedMask(w[i + 1])) {
    const std::optional<int> length = DottedMaskLength(w[i + 1]);
    if (!length) {
      return std::nullopt;
    }
    row.prefix = w.Span(i, i + 1);
    row.maskAddress = w[i];
    row.maskLength = *length;
    i += 2;
  } else if (row.numbered || !(IsAddress(w[i]) || w[i] == "DIRECT")) {
    return std::nullopt;  // a path alone starts with its gateway
  }
  if (i == w.size()) {
    return row;  // cut after the destination
  }
  row.gateway = w[i++];
  // The cost is the last word of its shape: a port ("eth 2/2") may look like one. Older
  // releases print a dotted mask and a metric alone, after a port that may look like a cost
  // ("1/1"): there the cost is the number before the type.
  std::size_t cost = w.size();
  if (row.maskLength >= 0) {
    for (std::size_t j = i + 1; j + 1 < w.size() && cost == w.size(); ++j) {
      if (IsDigits(w[j]) && IsTypeCode(w[j + 1])) {
        cost = j;
      }
    }
  }
  const bool metricAlone = cost < w.size();
  for (std::size_t j = i; j < w.size() && !metricAlone; ++j) {
    if (IsCost(w[j])) {
      cost = j;
    }
  }
  if (cost == w.size()) {
    if (row.prefix.empty()) {
      return std::nullopt;
    }
    return row;  // cut before the cost: its rest is on the next line
  }
  if (cost > i) {
    row.port = w.Span(i, cost - 1);
  }
  row.cost = w[cost];
  std::size_t next = cost + 1;
  if (row.type.empty()) {
    if (next == w.size() && !row.prefix.empty()) {
      return row;  // cut after the cost
    }
    if (!IsTypeCode(w[next])) {
      return std::nullopt;
    }
    row.type = w[next++];
  }
  row.complete = true;
  if (!w[next].empty() && w[next][0] >= '0' && w[next][0] <= '9') {
    row.uptime = w[next++];
  }
  row.srcVrf = w[next++];
  if (next < w.size()) {
    return std::nullopt;
  }
  return row;
}

// The type codes of the legend: B with i/e, O with i (inter area), 1, 2 (external) or s (sham
// link, intra area), I with L1/L2, D (connected, not EIGRP), L, S, R.
RouteSource SourceOfType(std::string_view type) {
  if (type.empty()) {
    return RouteSource::kOther;
  }
  const std::string_view sub = type.substr(1);
  switch (type[0]) {
    case 'B':
      return sub == "e" || sub == "E"   ? RouteSource::kBgpExternal
             : sub == "i" || sub == "I" ? RouteSource::kBgpInternal
                                        : RouteSource::kBgp;
    case 'O':
      return sub == "i"                  ? RouteSource::kOspfInter
             : sub == "1" || sub == "E1" ? RouteSource::kOspfExt1
             : sub == "2" || sub == "E2" ? RouteSource::kOspfExt2
             : sub == "N1"               ? RouteSource::kOspfNssa1
             : sub == "N2"               ? RouteSource::kOspfNssa2
                                         : RouteSource::kOspf;
    case 'I':
      return sub.ends_with('1')   ? RouteSource::kIsisL1
             : sub.ends_with('2') ? RouteSource::kIsisL2
                                  : RouteSource::kIsis;
    case 'D':
    case 'C':
      return RouteSource::kConnected;
    case 'L':
      return RouteSource::kLocal;
    case 'S':
      return RouteSource::kStatic;
    case 'R':
      return RouteSource::kRip;
    default:
      return RouteSource::kOther;
  }
}

class RowReader {
 public:
  explicit RowReader(RouteSink& sink) : builder_(sink, SourceOfType) {}

  // The VRF a command names ("show ip route vrf red"), the global table for another table
  // command, nothing for a prompt alone.
  void Prompt(std::string_view text) {
    if (text.find(" route") == std::string_view::npos) {
      return;
    }
    const std::size_t vrf = text.find(" vrf ");
    if (vrf == std::string_view::npos) {
      builder_.SetVrf(kDefaultVrf);
      return;
    }
    const RowWords<1> name(text.substr(vrf + 5));
    builder_.SetVrf(name[0]);
  }

  LineKind Apply(const Row& row) {
    RouteBuilder::Path path;
    if (IsAddress(row.gateway)) {
      path.address = row.gateway;
    }
    if (!row.port.empty()) {
      path.interface = row.port;
    } else if (!row.gateway.empty() && !path.address && row.gateway != "DIRECT") {
      path.interface = row.gateway;  // a word where an address stands ("drop")
    }
    if (!row.srcVrf.empty() && row.srcVrf != "-") {
      path.vrf = row.srcVrf;  // leaked from another VRF: the next hop is there
    }
    if (!row.cost.empty()) {
      const std::size_t slash = row.cost.find('/');
      if (slash == std::string_view::npos) {
        path.metric = files::ReadNumber<std::uint64_t>(row.cost);
      } else {
        path.distance = files::ReadNumber<std::uint32_t>(row.cost.substr(0, slash));
        path.metric = files::ReadNumber<std::uint64_t>(row.cost.substr(slash + 1));
        if (!path.distance || !path.metric) {
          return LineKind::kNotUnderstood;
        }
      }
    }
    if (!row.uptime.empty()) {
      path.uptime = row.uptime;
    }
    const bool samePrefix =
        !row.prefix.empty() && row.prefix == key_ && (row.type.empty() || row.type == keyType_);
    if (builder_.Pending() && !row.numbered && (row.prefix.empty() || samePrefix)) {
      builder_.AddPath(path);  // a further path of the route above
      return LineKind::kPath;
    }
    if (row.prefix.empty()) {
      return LineKind::kNotUnderstood;
    }
    std::string_view type = row.type;
    const bool star = type.starts_with('*') || type.ends_with('*');
    if (star) {
      type = type.starts_with('*') ? type.substr(1) : type.substr(0, type.size() - 1);
    }
    if (row.maskLength >= 0) {
      builder_.Begin(Afi::kIpv4, {}, star ? "*" : "", row.maskAddress, row.maskLength);
    } else {
      builder_.Begin(row.afi, {}, star ? "*" : "", row.prefix);
    }
    builder_.SetProtocol(type);
    builder_.AddPath(path);
    key_.assign(row.prefix);
    keyType_.assign(row.type);
    return LineKind::kRoute;
  }

  void Finish() { builder_.Finish(); }
  bool Pending() const { return builder_.Pending(); }

 private:
  RouteBuilder builder_;
  std::string key_, keyType_;  // the pending route's prefix and type, for its ECMP rows
};

// The part of a row that did not fit its line: the src-vrf column alone ("-", "red").
bool IsRowTail(std::string_view text) {
  const RowWords<2> w(text);
  return w.size() == 1 && w[0].find_first_of(":/[]") == std::string_view::npos;
}

LineKind ClassifyIronwareLine(std::string_view text, bool inLegend) {
  if (text.starts_with("Type Codes") || text.find(" Codes - ") != std::string_view::npos ||
      text.starts_with("Start index:")) {
    return LineKind::kLegend;
  }
  if (text.starts_with("Total number of") ||
      (text.starts_with("Destination") && text.find("Gateway") != std::string_view::npos) ||
      (text.starts_with("Type ") && text.find("Prefix") != std::string_view::npos)) {
    return LineKind::kHeader;
  }
  return ClassifyOtherLine(text, inLegend);
}

}  // namespace

std::span<const std::string_view> IronwareReader::Marks() const {
  return kMarks;
}

bool IronwareReader::IsOwnRouteLine(std::string_view line) const {
  const std::string_view text = files::TrimBlanks(line);
  if (text.find_first_of("[,") != std::string_view::npos) {
    return false;  // the Cisco family's "[110/2]" and "via x, y"
  }
  const std::optional<Row> row = ReadRow(text);
  return row && row->complete && !row->prefix.empty() &&
         (row->numbered || (row->typeFirst && row->afi == Afi::kIpv6));
}

void IronwareReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  RowReader reader(sink);
  std::string held;  // a row cut before its cost, waiting for the rest
  LineKind last = LineKind::kBlank;
  ForEachCaptureLine(capture, [&](std::string_view line) {
    const std::string_view text = files::TrimBlanks(line);
    LineKind kind = LineKind::kNotUnderstood;
    std::optional<Row> row = ReadRow(text);
    if (!held.empty()) {
      const bool rest = !text.empty() && (!row || row->prefix.empty());
      if (rest) {
        held.append(" ").append(text);
      }
      const std::optional<Row> whole = ReadRow(held);
      if (whole) {
        reader.Apply(*whole);
      }
      held.clear();
      if (rest && whole) {
        account.Count(LineKind::kPath, line);
        last = LineKind::kPath;
        return;
      }
    }
    if (row && !row->complete) {
      held.assign(text);
      reader.Finish();
      kind = LineKind::kRoute;
    } else if (row) {
      kind = reader.Apply(*row);
    } else if (IsPromptLine(text)) {
      reader.Prompt(text);
      kind = LineKind::kPrompt;
    } else if (const LineKind other = ClassifyIronwareLine(text, last == LineKind::kLegend);
               other != LineKind::kNotUnderstood) {
      kind = other;
      if (other != LineKind::kPager && other != LineKind::kBlank) {
        reader.Finish();
      }
    } else if (reader.Pending() && (last == LineKind::kRoute || last == LineKind::kPath) &&
               IsRowTail(text)) {
      kind = LineKind::kPath;
    } else {
      reader.Finish();
    }
    if (kind != LineKind::kPager) {
      last = kind;
    }
    account.Count(kind, line);
  });
  if (!held.empty()) {
    if (const std::optional<Row> whole = ReadRow(held)) {
      reader.Apply(*whole);
    }
  }
  reader.Finish();
}

}  // namespace kestrelon::tables
