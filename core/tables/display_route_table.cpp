#include "tables/display_route_table.h"

#include <array>
#include <optional>
#include <string>
#include <utility>

#include "files/text_fields.h"
#include "tables/address_text.h"
#include "tables/capture_lines.h"
#include "tables/line_shapes.h"
#include "tables/route_builder.h"

namespace kestrelon::tables {
namespace {

using files::IsBlankChar;
using files::IsLetter;
using files::TakeWord;
using files::TrimBlanks;

bool IsWordChar(char c) {
  return IsLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '+';
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if ((a[i] | 0x20) != (b[i] | 0x20)) {
      return false;
    }
  }
  return true;
}

// Just past the colon of the "Key words :" that starts text, or 0 when none does. The words of
// a key are joined by one blank ("Process ID"); two blanks end a value, never a key.
std::size_t KeyEnd(std::string_view text) {
  std::size_t at = 0;
  for (;;) {
    if (at >= text.size() || !IsLetter(text[at])) {
      return 0;
    }
    while (at < text.size() && IsWordChar(text[at])) {
      ++at;
    }
    if (at + 1 < text.size() && text[at] == ' ' && IsLetter(text[at + 1])) {
      ++at;
      continue;
    }
    break;
  }
  while (at < text.size() && text[at] == ' ') {
    ++at;
  }
  if (at >= text.size() || text[at] != ':' ||
      (at + 1 < text.size() && !IsBlankChar(text[at + 1]))) {
    return 0;  // "fe80::1" is a value
  }
  return at + 1;
}

struct Pair {
  std::string_view key;
  std::string_view value;
};
// More pairs than a line of these tables holds: such a line is something else.
constexpr std::size_t kPairsPerLine = 4;
struct Pairs {
  std::array<Pair, kPairsPerLine> at{};
  std::size_t size = 0;
};

// "Protocol: Static           Process ID: 0": the pairs of a line in two columns, each value
// running to the next key that stands after two blanks or more.
Pairs ReadPairs(std::string_view text) {
  Pairs pairs;
  std::size_t keyAt = 0;
  std::size_t valueAt = KeyEnd(text);
  while (valueAt != 0) {
    std::size_t nextKey = text.size();
    std::size_t nextValue = 0;
    for (std::size_t at = valueAt; at + 1 < text.size(); ++at) {
      if (IsBlankChar(text[at]) && IsBlankChar(text[at + 1])) {
        std::size_t after = at + 2;
        while (after < text.size() && IsBlankChar(text[after])) {
          ++after;
        }
        if (const std::size_t end = KeyEnd(text.substr(after)); end != 0) {
          nextKey = after;
          nextValue = after + end;
          break;
        }
        at = after;
      }
    }
    if (pairs.size == kPairsPerLine) {
      return {};
    }
    pairs.at[pairs.size++] = {TrimBlanks(text.substr(keyAt, valueAt - 1 - keyAt)),
                              TrimBlanks(text.substr(valueAt, nextKey - valueAt))};
    keyAt = nextKey;
    valueAt = nextValue;
  }
  return pairs;
}

// The command after a prompt ("<HUAWEI>", "[~HUAWEI-GigabitEthernet0/0/1]", "<H3C>"), or none
// when text is no prompt.
std::optional<std::string_view> PromptCommand(std::string_view text) {
  if (text.size() < 3 || (text[0] != '<' && text[0] != '[')) {
    return std::nullopt;
  }
  const std::size_t close = text.find(text[0] == '<' ? '>' : ']');
  if (close == std::string_view::npos || close < 2) {
    return std::nullopt;
  }
  for (std::size_t i = 1; i < close; ++i) {
    if (IsBlankChar(text[i])) {
      return std::nullopt;
    }
  }
  return TrimBlanks(text.substr(close + 1));
}

bool IsAbbreviation(std::string_view word, std::string_view full, std::size_t least) {
  return word.size() >= least && full.starts_with(word);
}

// The VRF a "display ip routing-table [vpn-instance X]" command shows, abbreviated as typed
// ("dis ip rou vpn X"); none for another command.
std::optional<std::string_view> TableOfCommand(std::string_view command) {
  if (!IsAbbreviation(TakeWord(command), "display", 3)) {
    return std::nullopt;
  }
  const std::string_view family = TakeWord(command);
  if ((family != "ip" && family != "ipv6") ||
      !IsAbbreviation(TakeWord(command), "routing-table", 3)) {
    return std::nullopt;
  }
  while (!command.empty()) {
    if (IsAbbreviation(TakeWord(command), "vpn-instance", 3)) {
      const std::string_view name = TakeWord(command);
      return name.empty() ? kDefaultVrf : name;
    }
  }
  return kDefaultVrf;
}

// The table a heading names: "Public" (VRP 8: "_public_") is the global table.
std::string_view VrfOfTable(std::string_view name) {
  return name.empty() || EqualsNoCase(name, "Public") || name == "_public_" ? kDefaultVrf : name;
}

bool IsProtocolWord(std::string_view word) {
  if (word.empty() || !IsLetter(word[0])) {
    return false;
  }
  for (const char c : word) {
    if (!IsWordChar(c)) {
      return false;
    }
  }
  return true;
}

// "D", "RD", "DB": VRP's Flags column.
bool IsFlagsWord(std::string_view word) {
  if (word.empty() || word.size() > 4) {
    return false;
  }
  for (const char c : word) {
    if (c < 'A' || c > 'Z') {
      return false;
    }
  }
  return true;
}

// The protocols these platforms print, for telling their rows from other platforms' lines.
bool IsKnownProtocol(std::string_view word) {
  static constexpr std::array<std::string_view, 27> kProtocols = {
      "Direct",  "Static",  "OSPF",    "OSPFv3", "O_ASE",  "O_ASE1", "O_ASE2", "O_NSSA", "O_NSSA1",
      "O_NSSA2", "O_INTRA", "O_INTER", "O_SUM",  "IBGP",   "EBGP",   "BGP",    "BGP4+",  "ISIS",
      "ISIS-L1", "ISIS-L2", "IS_L1",   "IS_L2",  "IS_SUM", "RIP",    "RIPng",  "Unr",    "DHCP"};
  for (const std::string_view protocol : kProtocols) {
    if (word == protocol) {
      return true;
    }
  }
  return false;
}

// A column row: "10.1.0.0/16  OSPF  10  2  D  10.1.1.2  GE0/0/1" begins a route; without the
// destination ("OSPF 10 2 D 10.1.2.2 GE0/0/2", or the next hop and interface alone) it is a
// further path. Comware prints no Flags column.
struct Row {
  std::string_view prefix;
  std::optional<PrefixText> prefixText;
  std::string_view protocol;
  std::string_view flags;
  std::optional<std::uint32_t> distance;
  std::optional<std::uint64_t> metric;
  std::string_view nextHop;
  std::string_view interface;
};

std::optional<Row> ReadRow(std::string_view text) {
  Row row;
  std::string_view rest = text;
  std::string_view word = TakeWord(rest);
  if ((row.prefixText = ReadPrefix(word))) {
    row.prefix = word;
    word = TakeWord(rest);
  }
  if (!IsAddress(word)) {
    if (!IsProtocolWord(word)) {
      return std::nullopt;
    }
    row.protocol = word;
    row.distance = files::ReadNumber<std::uint32_t>(TakeWord(rest));
    row.metric = files::ReadNumber<std::uint64_t>(TakeWord(rest));
    word = TakeWord(rest);
    if (IsFlagsWord(word)) {
      row.flags = word;
      word = TakeWord(rest);
    }
    if (!row.distance || !row.metric || !IsAddress(word)) {
      return std::nullopt;
    }
  } else if (!row.prefix.empty()) {
    return std::nullopt;  // a route's first row prints its protocol
  }
  row.nextHop = word;
  row.interface = TakeWord(rest);
  if (!rest.empty() || (row.protocol.empty() && row.interface.empty())) {
    return std::nullopt;  // a lone address is no path
  }
  return row;
}

// The fields of one block of "Key: value" pairs (the IPv6 tables, the verbose ones).
struct Block {
  std::string prefix;
  std::string protocol, nextHop, interface, age, flags;
  std::optional<std::uint32_t> distance;
  std::optional<std::uint64_t> metric;
  std::optional<bool> selected;

  void Clear() {
    prefix.clear();
    protocol.clear();
    nextHop.clear();
    interface.clear();
    age.clear();
    flags.clear();
    distance.reset();
    metric.reset();
    selected.reset();
  }

  void Take(const Pair& pair) {
    const std::string_view key = pair.key;
    const std::string_view value = pair.value;
    if (key == "Destination") {
      prefix.assign(value);
    } else if (key == "PrefixLength") {
      prefix.append("/").append(value);
    } else if (key == "Protocol") {
      protocol.assign(value);
    } else if (key == "Preference") {
      distance = files::ReadNumber<std::uint32_t>(value);
    } else if (key == "Cost") {
      metric = files::ReadNumber<std::uint64_t>(value);
    } else if (key == "NextHop" || (key == "OrigNextHop" && nextHop.empty())) {
      nextHop.assign(value);  // Comware's verbose table prints the next hop as OrigNextHop
    } else if (key == "Interface") {
      interface.assign(value);
    } else if (key == "State") {
      selected = value.starts_with("Active");
    } else if (key == "Age") {
      age.assign(value);
    } else if (key == "Flags" && !value.starts_with("0x")) {
      flags.assign(value);  // Comware's verbose Flags are a number, not VRP's letters
    }
  }
};

bool IsHostLength(const PrefixText& prefix) {
  return prefix.length == (prefix.afi == Afi::kIpv4 ? 32 : 128);
}

class DisplayReading {
 public:
  DisplayReading(RouteSink& sink, LineAccount& account) : builder_(sink), account_(account) {}

  void Line(std::string_view line) {
    const std::string_view text = TrimBlanks(line);
    const LineKind kind = Classify(line, text);
    if (kind != LineKind::kPager) {
      last_ = kind;
    }
    account_.Count(kind, line);
  }

  void End() {
    EndBlock();
    Finish();
  }

 private:
  LineKind Classify(std::string_view line, std::string_view text) {
    if (pathOpen_ && IsWrappedRest(text)) {
      interface_.append(text);  // the rest of an interface name wrapped at the screen's edge
      return LineKind::kPath;
    }
    FlushPath();
    const Pairs pairs = ReadPairs(text);
    if (pairs.size == 0 || pairs.at[0].key == "Destination") {
      EndBlock();
    }
    if (text.empty()) {
      return LineKind::kBlank;
    }
    if (text.starts_with("---- More ----")) {
      return LineKind::kPager;
    }
    if (const std::optional<std::string_view> command = PromptCommand(text)) {
      if (const std::optional<std::string_view> vrf = TableOfCommand(*command)) {
        SetVrf(*vrf);
      }
      status_.reset();
      return LineKind::kPrompt;
    }
    if (pairs.size > 0) {
      return PairLine(pairs);
    }
    if (text.starts_with("Destination/Mask") || text.find_first_not_of('-') == text.npos) {
      return LineKind::kHeader;
    }
    if (const std::optional<Row> row = ReadRow(text)) {
      return RowLine(*row);
    }
    return ClassifyOtherLine(line, last_ == LineKind::kLegend);
  }

  // "0/0/0" alone under a row that ended "GigabitEthernet".
  bool IsWrappedRest(std::string_view text) const {
    return !interface_.empty() && !text.empty() && text.find_first_of(" \t") == text.npos &&
           text[0] != '<' && text[0] != '[' && text[0] != '-' && !IsAddress(text) &&
           !ReadPrefix(text);
  }

  LineKind PairLine(const Pairs& pairs) {
    const std::string_view key = pairs.at[0].key;
    if (key == "Destination") {
      block_.Clear();
      for (std::size_t i = 0; i < pairs.size; ++i) {
        block_.Take(pairs.at[i]);
      }
      inBlock_ = ReadPrefix(block_.prefix).has_value();
      return inBlock_ ? LineKind::kRoute : LineKind::kNotUnderstood;
    }
    if (inBlock_) {
      for (std::size_t i = 0; i < pairs.size; ++i) {
        block_.Take(pairs.at[i]);
      }
      return LineKind::kPath;
    }
    if (key == "Route Flags") {
      return LineKind::kLegend;
    }
    if (key == "Routing Tables" || key == "Routing Table") {
      SetVrf(VrfOfTable(pairs.at[0].value));
      status_.reset();
      return LineKind::kHeader;
    }
    // "Public routing table : Static", "OSPF routing table status : <Inactive>": the tables of
    // one protocol, its routes in use and not.
    if (key.ends_with("routing table status")) {
      status_ = pairs.at[0].value == "<Active>";
      return LineKind::kHeader;
    }
    if (key.ends_with("routing table")) {
      if (key.starts_with("Public ")) {
        SetVrf(kDefaultVrf);
      }
      return LineKind::kHeader;
    }
    if (key == "Destinations" || EqualsNoCase(key, "Summary Count")) {
      return LineKind::kHeader;
    }
    return LineKind::kNotUnderstood;
  }

  LineKind RowLine(const Row& row) {
    if (row.prefixText) {
      FlushPath();
      BeginRoute(row.prefixText->afi, row.prefix, row.protocol, row.flags, status_);
      hostRoute_ = IsHostLength(*row.prefixText);
    } else if (!builder_.Pending()) {
      return LineKind::kNotUnderstood;
    } else {
      FlushPath();
      if (!row.protocol.empty() && row.protocol != protocol_) {
        // Another protocol's route to the same destination.
        const std::string prefix = prefix_;
        BeginRoute(afi_, prefix, row.protocol, row.flags, status_);
      }
    }
    address_.assign(row.nextHop);
    interface_.assign(row.interface);
    distance_ = row.distance;
    metric_ = row.metric;
    pathOpen_ = true;
    return row.prefixText ? LineKind::kRoute : LineKind::kPath;
  }

  void BeginRoute(Afi afi, std::string_view prefix, std::string_view protocol,
                  std::string_view flags, std::optional<bool> selected) {
    builder_.Begin(afi, {}, flags, prefix);
    builder_.SetProtocol(protocol);
    builder_.SetSelected(selected);
    afi_ = afi;
    prefix_.assign(prefix);
    protocol_.assign(protocol);
    sourceSet_ = false;
  }

  // Hands the path of the last row to the builder, now that no wrapped rest can follow.
  void FlushPath() {
    if (!pathOpen_) {
      return;
    }
    pathOpen_ = false;
    if (!sourceSet_) {
      builder_.SetSource(SourceOfDisplayProtocol(protocol_, hostRoute_, address_, interface_));
      sourceSet_ = true;
    }
    RouteBuilder::Path path;
    if (!address_.empty()) {
      path.address = address_;
    }
    if (!interface_.empty()) {
      path.interface = interface_;
    }
    path.distance = distance_;
    path.metric = metric_;
    builder_.AddPath(path);
  }

  // A block is a route, or a further path of the route before it (ECMP prints one block a path).
  void EndBlock() {
    if (!inBlock_) {
      return;
    }
    inBlock_ = false;
    const std::optional<PrefixText> prefix = ReadPrefix(block_.prefix);
    if (!prefix) {
      return;  // a later line spoilt it ("PrefixLength" after a length)
    }
    const bool samePath =
        builder_.Pending() && !pathOpen_ && lastBlock_.prefix == block_.prefix &&
        lastBlock_.protocol == block_.protocol && lastBlock_.distance == block_.distance &&
        lastBlock_.metric == block_.metric && lastBlock_.selected == block_.selected;
    if (!samePath) {
      FlushPath();
      BeginRoute(prefix->afi, block_.prefix, block_.protocol, block_.flags, block_.selected);
      builder_.SetSource(SourceOfDisplayProtocol(block_.protocol, IsHostLength(*prefix),
                                                 block_.nextHop, block_.interface));
      sourceSet_ = true;
    }
    RouteBuilder::Path path;
    if (IsAddress(block_.nextHop)) {
      path.address = block_.nextHop;
    }
    if (!block_.interface.empty()) {
      path.interface = block_.interface;
    }
    path.distance = block_.distance;
    path.metric = block_.metric;
    if (!block_.age.empty()) {
      path.uptime = block_.age;
    }
    builder_.AddPath(path);
    std::swap(lastBlock_, block_);
  }

  void SetVrf(std::string_view vrf) {
    FlushPath();
    builder_.SetVrf(vrf);
    lastBlock_.Clear();
  }

  void Finish() {
    FlushPath();
    builder_.Finish();
  }

  RouteBuilder builder_;
  LineAccount& account_;
  LineKind last_ = LineKind::kBlank;
  std::optional<bool> status_;  // under "routing table status : <Active>" or "<Inactive>"
  // The route begun last, and its path from the last row, kept until the next line shows
  // whether it wraps.
  Afi afi_ = Afi::kIpv4;
  std::string prefix_, protocol_;
  bool hostRoute_ = false;
  bool sourceSet_ = false;
  bool pathOpen_ = false;
  std::string address_, interface_;
  std::optional<std::uint32_t> distance_;
  std::optional<std::uint64_t> metric_;
  // The block being read and the one before it.
  bool inBlock_ = false;
  Block block_, lastBlock_;
};

}  // namespace

void ReadDisplayRouteTable(std::string_view capture, RouteSink& sink, LineAccount& account) {
  DisplayReading reading(sink, account);
  ForEachCaptureLine(capture, [&](std::string_view line) { reading.Line(line); });
  reading.End();
}

DisplayRowShape ClassifyDisplayRow(std::string_view line) {
  const std::string_view text = files::TrimLeadingBlanks(line);
  if (text.empty() ||
      !((text[0] >= '0' && text[0] <= '9') || IsLetter(text[0]) || text[0] == ':')) {
    return DisplayRowShape::kNone;
  }
  const std::optional<Row> row = ReadRow(TrimBlanks(text));
  if (!row || !row->prefixText || row->interface.empty() || !IsKnownProtocol(row->protocol)) {
    return DisplayRowShape::kNone;
  }
  return row->flags.empty() ? DisplayRowShape::kWithoutFlags : DisplayRowShape::kWithFlags;
}

RouteSource SourceOfDisplayProtocol(std::string_view protocol, bool hostRoute,
                                    std::string_view nextHop, std::string_view interface) {
  const auto is = [&](std::string_view name) { return EqualsNoCase(protocol, name); };
  if (is("Direct")) {
    if (hostRoute &&
        (nextHop == "127.0.0.1" || nextHop == "::1" || interface.starts_with("InLoop"))) {
      return RouteSource::kLocal;
    }
    return EqualsNoCase(interface, "NULL0") ? RouteSource::kDiscard : RouteSource::kConnected;
  }
  if (is("Static")) {
    return RouteSource::kStatic;
  }
  // OSPF's external and NSSA routes: VRP and Comware V5 do not print the type, Comware V7 does.
  if (is("O_INTER")) {
    return RouteSource::kOspfInter;
  }
  if (is("O_ASE1")) {
    return RouteSource::kOspfExt1;
  }
  if (is("O_ASE2")) {
    return RouteSource::kOspfExt2;
  }
  if (is("O_NSSA1")) {
    return RouteSource::kOspfNssa1;
  }
  if (is("O_NSSA2")) {
    return RouteSource::kOspfNssa2;
  }
  if (protocol.starts_with("O_") || protocol.starts_with("OSPF")) {
    return RouteSource::kOspf;
  }
  if (is("IBGP")) {
    return RouteSource::kBgpInternal;
  }
  if (is("EBGP")) {
    return RouteSource::kBgpExternal;
  }
  if (protocol.starts_with("BGP")) {
    return RouteSource::kBgp;
  }
  if (is("ISIS-L1") || is("IS_L1")) {
    return RouteSource::kIsisL1;
  }
  if (is("ISIS-L2") || is("IS_L2")) {
    return RouteSource::kIsisL2;
  }
  if (protocol.starts_with("IS")) {
    return RouteSource::kIsis;
  }
  if (protocol.starts_with("RIP")) {
    return RouteSource::kRip;
  }
  if (is("Unr")) {
    return RouteSource::kDiscard;  // VRP's "unreachable" routes: a blackhole
  }
  if (is("DHCP")) {
    return RouteSource::kDhcp;
  }
  if (protocol.starts_with("Aggr") || protocol.starts_with("AGGR")) {
    return RouteSource::kAggregate;
  }
  return RouteSource::kOther;
}

}  // namespace kestrelon::tables
