#include "tables/readers/junos.h"

#include <array>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>

#include "files/line_cursor.h"
#include "files/text_fields.h"
#include "tables/address_text.h"
#include "tables/capture_lines.h"
#include "tables/line_accounting.h"
#include "tables/line_shapes.h"
#include "tables/route_builder.h"
#include "tables/route_table.h"

namespace kestrelon::tables {
namespace {

using files::IsBlankChar;
using files::ReadNumber;
using files::TrimBlanks;
using files::TrimLeadingBlanks;

// The legends and the table heading's counts: no other platform prints them.
constexpr std::array<std::string_view, 4> kMarks = {"+ = Active Route, - = Last Active, * = Both",
                                                    "@ = Routing Use Only, # = Forwarding Use Only",
                                                    " holddown, ", ", validation-state: "};

// The marks before an entry: "*" active and last active, "+" active, "-" last active, "@" for
// routing use only, "#" for forwarding use only.
bool IsEntryMark(char c) {
  return c == '*' || c == '+' || c == '-' || c == '@' || c == '#';
}

bool IsUpper(char c) {
  return c >= 'A' && c <= 'Z';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsAlnum(char c) {
  return IsUpper(c) || IsDigit(c) || (c >= 'a' && c <= 'z');
}
bool HasDigit(std::string_view text) {
  for (const char c : text) {
    if (IsDigit(c)) {
      return true;
    }
  }
  return false;
}

// Splits off the next word of text (blanks before it skipped).
std::string_view NextWord(std::string_view& text) {
  text = TrimLeadingBlanks(text);
  std::size_t end = 0;
  while (end < text.size() && !IsBlankChar(text[end])) {
    ++end;
  }
  const std::string_view word = text.substr(0, end);
  text.remove_prefix(end);
  return word;
}

// The word that starts text, up to a blank or a comma ("ge-0/0/0.0" of "ge-0/0/0.0, Push 16").
std::string_view LeadingName(std::string_view text) {
  text = TrimLeadingBlanks(text);
  std::size_t end = 0;
  while (end < text.size() && text[end] != ',' && !IsBlankChar(text[end])) {
    ++end;
  }
  return text.substr(0, end);
}

// inet.0 and inet6.0 are the global table and X.inet.0, X.inet6.0 routing instance X; any other
// table keeps its name, so that inet.3 or mpls.0 never merges into the unicast table.
std::string_view VrfOfTable(std::string_view table) {
  for (const std::string_view unicast : {std::string_view("inet.0"), std::string_view("inet6.0")}) {
    if (table == unicast) {
      return kDefaultVrf;
    }
    const std::size_t dot = table.size() - unicast.size() - 1;
    if (table.size() > unicast.size() + 1 && table.ends_with(unicast) && table[dot] == '.') {
      return table.substr(0, dot);
    }
  }
  return table;
}

// "inet.0: 12 destinations, 15 routes (12 active, 0 holddown, 0 hidden)": the table's name.
std::optional<std::string_view> TableOfHeading(std::string_view firstWord, std::string_view rest) {
  if (firstWord.size() < 2 || !firstWord.ends_with(':')) {
    return std::nullopt;
  }
  std::size_t digits = 0;
  while (digits < rest.size() && IsDigit(rest[digits])) {
    ++digits;
  }
  if (digits == 0 || !rest.substr(digits).starts_with(" destination")) {
    return std::nullopt;
  }
  return firstWord.substr(0, firstWord.size() - 1);
}

// One [protocol/preference] entry of a destination: "*[OSPF/10/10] 3w3d 03:12:45, metric 101".
struct Entry {
  std::string_view flag;  // the marks before the entry, or none
  std::string_view protocol;
  std::optional<std::uint32_t> preference;
  std::string_view age;
  std::optional<std::uint64_t> metric;  // the metric, else the MED
};

// An entry as text starts with it; a hidden route prints "[BGP ]", without its preference.
std::optional<Entry> ReadEntry(std::string_view text) {
  Entry entry;
  std::size_t marks = 0;
  while (marks < 2 && marks < text.size() && IsEntryMark(text[marks])) {
    ++marks;
  }
  entry.flag = text.substr(0, marks);
  text.remove_prefix(marks);
  if (text.size() < 3 || text[0] != '[' || !IsUpper(text[1])) {
    return std::nullopt;
  }
  const std::size_t close = text.find(']');
  if (close == std::string_view::npos) {
    return std::nullopt;
  }
  const std::string_view inside = text.substr(1, close - 1);
  const std::size_t slash = inside.find('/');
  if (slash == std::string_view::npos) {
    if (!inside.ends_with(' ')) {
      return std::nullopt;
    }
    entry.protocol = TrimBlanks(inside);
  } else {
    entry.protocol = inside.substr(0, slash);
    const std::string_view preferences = inside.substr(slash + 1);
    entry.preference = ReadNumber<std::uint32_t>(preferences.substr(0, preferences.find('/')));
    if (!entry.preference) {
      return std::nullopt;
    }
  }
  for (const char c : entry.protocol) {
    if (!IsAlnum(c) && c != '-') {
      return std::nullopt;
    }
  }
  std::string_view fields = text.substr(close + 1);
  std::size_t comma = fields.find(',');
  entry.age = TrimBlanks(fields.substr(0, comma));
  // BGP prints its MED where others print a metric.
  std::optional<std::uint64_t> med;
  while (comma != std::string_view::npos) {
    fields.remove_prefix(comma + 1);
    comma = fields.find(',');
    const std::string_view field = TrimLeadingBlanks(fields.substr(0, comma));
    if (field.starts_with("metric ")) {
      entry.metric = ReadNumber<std::uint64_t>(TrimBlanks(field.substr(7)));
    } else if (field.starts_with("MED ")) {
      med = ReadNumber<std::uint64_t>(TrimBlanks(field.substr(4)));
    }
  }
  if (!entry.metric) {
    entry.metric = med;
  }
  return entry;
}

// "Discard", "Reject", "MultiRecv", "Multicast (IPv4) Composite": a next hop with no address.
bool IsNextHopType(std::string_view text) {
  if (text.empty() || text.size() > 40 || !IsUpper(text[0])) {
    return false;
  }
  for (const char c : text) {
    if (!IsAlnum(c) && c != ' ' && c != '(' && c != ')' && c != '-' && c != '.') {
      return false;
    }
  }
  return true;
}

// A next hop as text holds it after the selected hop's ">": "to 10.1.1.1 via ge-0/0/0.0, Push
// 16", "via fxp0.0", "Local via lo0.0", "to table inet.0", or a next-hop type, kept as the
// interface. Label operations are part of the path's line, not of the record.
std::optional<RouteBuilder::Path> ReadHop(std::string_view text) {
  RouteBuilder::Path hop;
  if (text.starts_with("to ")) {
    std::string_view rest = TrimLeadingBlanks(text.substr(3));
    if (rest.starts_with("table ")) {
      const std::string_view table = LeadingName(rest.substr(6));
      if (table.empty()) {
        return std::nullopt;
      }
      hop.vrf = VrfOfTable(table);
      return hop;
    }
    const std::string_view address = LeadingName(rest);
    if (!IsAddress(address)) {
      return std::nullopt;
    }
    hop.address = address;
    rest = TrimLeadingBlanks(rest.substr(address.size()));
    if (rest.starts_with("via ")) {
      hop.interface = LeadingName(rest.substr(4));
    }
    return hop;
  }
  const std::size_t via = text.starts_with("via ") ? 4 : text.starts_with("Local via ") ? 10 : 0;
  if (via > 0) {
    const std::string_view interface = LeadingName(text.substr(via));
    if (interface.empty()) {
      return std::nullopt;
    }
    hop.interface = interface;
    return hop;
  }
  if (IsNextHopType(text)) {
    hop.interface = text;
    return hop;
  }
  return std::nullopt;
}

// The rest of an entry's details on lines of their own: "AS path: 65001 I, validation-state:
// unverified", or the end of an entry line the terminal wrapped.
bool IsEntryDetail(std::string_view text) {
  for (const std::string_view start : {"AS path:", "validation-state:", "localpref ", "from ",
                                       "MED ", "metric ", "metric2 ", "tag "}) {
    if (text.starts_with(start)) {
      return true;
    }
  }
  return false;
}

// A destination that is printed on a line of its own when it is wider than its column: an
// IPv6 prefix, "2:10.1.1.1:100::0::00:00:5e:00:53:01/304 MAC/IP" of an EVPN table.
bool IsLoneDestination(std::string_view text) {
  std::string_view rest = text;
  const std::string_view word = NextWord(rest);
  const std::string_view kind = NextWord(rest);
  return word.find('/') != std::string_view::npos && HasDigit(word) &&
         (kind.empty() || (word.find(':') != std::string_view::npos && !HasDigit(kind))) &&
         rest.empty();
}

RouteSource SourceOfProtocol(std::string_view protocol) {
  struct Named {
    std::string_view protocol;
    RouteSource source;
  };
  static constexpr std::array<Named, 18> kSources = {{
      {"Direct", RouteSource::kConnected},
      {"Local", RouteSource::kLocal},
      {"Static", RouteSource::kStatic},
      {"OSPF", RouteSource::kOspf},
      {"OSPF3", RouteSource::kOspf},
      {"L-OSPF", RouteSource::kOspf},
      {"IS-IS", RouteSource::kIsis},
      {"L-ISIS", RouteSource::kIsis},
      {"BGP", RouteSource::kBgp},
      {"LDP", RouteSource::kLdp},
      {"RSVP", RouteSource::kRsvp},
      {"Aggregate", RouteSource::kAggregate},
      {"RIP", RouteSource::kRip},
      {"RIPng", RouteSource::kRip},
      {"Kernel", RouteSource::kKernel},
      {"MPLS", RouteSource::kMpls},
      {"SPRING-TE", RouteSource::kMpls},
      {"Static-LSP", RouteSource::kMpls},
  }};
  for (const Named& named : kSources) {
    if (named.protocol == protocol) {
      return named.source;
    }
  }
  return RouteSource::kOther;  // Access, Access-internal, EVPN, PIM, L2CKT...
}

// The protocol letters of "show route terse"; L is Local or LDP (or a layer-2 circuit), told
// apart by the preference.
RouteSource SourceOfTerseLetter(char letter, std::uint32_t preference) {
  switch (letter) {
    case 'A':
      return RouteSource::kAggregate;
    case 'B':
      return RouteSource::kBgp;
    case 'D':
      return RouteSource::kConnected;
    case 'I':
      return RouteSource::kIsis;
    case 'K':
      return RouteSource::kKernel;
    case 'O':
      return RouteSource::kOspf;
    case 'R':
      return RouteSource::kRip;
    case 'S':
      return RouteSource::kStatic;
    case 'L':
      return preference == 0   ? RouteSource::kLocal
             : preference == 9 ? RouteSource::kLdp
                               : RouteSource::kOther;
    default:
      return RouteSource::kOther;
  }
}

// A row of "show route terse": "* ? 10.1.0.0/16   B 170   100   5  >10.0.0.2   65001 I". The
// active mark, the validation column (newer releases) and the destination (on the further
// routes of one) may be absent; the metric columns hold BGP's local preference and MED.
struct TerseRow {
  bool active = false;
  std::string_view destination;
  std::string_view protocol;
  std::uint32_t preference = 0;
  std::optional<std::uint64_t> metric;
  std::string_view nextHop;  // "10.0.0.2", "ge-0/0/0.0", "Local", "Discard"; ">" dropped
};

std::optional<TerseRow> ReadTerseRow(std::string_view text) {
  std::array<std::string_view, 5> words;
  std::array<std::string_view, 5> after;
  std::string_view rest = text;
  for (std::size_t k = 0; k < words.size(); ++k) {
    words[k] = NextWord(rest);
    after[k] = rest;
  }
  std::size_t p = 0;
  std::optional<std::uint32_t> preference;
  while (p + 1 < words.size() && !(words[p].size() == 1 && IsUpper(words[p][0]) &&
                                   (preference = ReadNumber<std::uint32_t>(words[p + 1])))) {
    ++p;
  }
  if (!preference) {
    return std::nullopt;
  }
  TerseRow row;
  for (std::size_t k = 0; k < p; ++k) {
    if (k == 0 && words[k] == "*") {
      row.active = true;
    } else if (k + 1 == p && words[k].size() > 1) {
      if (!ReadPrefix(words[k])) {
        return std::nullopt;
      }
      row.destination = words[k];
    } else if (words[k].size() != 1) {
      return std::nullopt;
    }
  }
  row.protocol = words[p];
  row.preference = *preference;
  rest = after[p + 1];
  std::array<std::optional<std::uint64_t>, 2> metrics;
  std::string_view word = NextWord(rest);
  for (std::optional<std::uint64_t>& metric : metrics) {
    if (!(metric = ReadNumber<std::uint64_t>(word))) {
      break;
    }
    word = NextWord(rest);
  }
  // BGP's first column is its local preference, its second the MED.
  row.metric = row.protocol != "B" ? metrics[0] : metrics[1];
  row.nextHop = word.starts_with('>') ? word.substr(1) : word;
  return row;
}

// "{master}", "{master:0}", "{primary:node0}" before a prompt, "[edit]" of configuration mode,
// or both: "{master:0}[edit interfaces]".
bool IsPromptBanner(std::string_view text) {
  if (text.starts_with('{')) {
    const std::size_t close = text.find('}');
    if (close == std::string_view::npos) {
      return false;
    }
    text.remove_prefix(close + 1);
  }
  return text.empty() || (text.starts_with("[edit") && text.ends_with(']'));
}

// The reading of one capture: its lines one at a time, in order.
class Reading {
 public:
  // vrf and terse: the table in force where the reading starts, for a part read on its own.
  Reading(RouteSink& sink, LineAccount& account, std::string_view vrf = kDefaultVrf,
          bool terse = false)
      : builder_(sink, SourceOfProtocol), account_(account), terse_(terse) {
    builder_.SetVrf(vrf);
  }

  void Line(std::string_view line) {
    const bool awaiting = awaitingEntry_;
    const LineKind kind = Classify(line);
    if (awaiting && kind != LineKind::kPager && kind != LineKind::kBlank) {
      awaitingEntry_ = false;  // the entry of a destination printed alone follows it at once
    }
    if (kind != LineKind::kPager) {
      last_ = kind;
    }
    account_.Count(kind, line);
  }

  void Finish() { builder_.Finish(); }

 private:
  LineKind Classify(std::string_view line);
  LineKind OtherLine(std::string_view line, std::string_view text, std::string_view first,
                     std::string_view rest);

  void SetDestination(std::string_view destination) {
    destination_.assign(destination);
    const std::optional<PrefixText> prefix = ReadPrefix(destination);
    recorded_ = prefix.has_value();
    afi_ = prefix ? prefix->afi : Afi::kIpv4;
    haveDestination_ = true;
  }

  void BeginEntry(const Entry& entry) {
    inEntry_ = true;
    if (!recorded_) {
      builder_.Finish();  // a label or another destination that is no prefix: counted only
      return;
    }
    builder_.Begin(afi_, {}, entry.flag, destination_);
    builder_.SetProtocol(entry.protocol);
    builder_.SetSelected(entry.flag.find_first_of("*+") != std::string_view::npos);
    RouteBuilder::Path cost;
    cost.distance = entry.preference;
    cost.metric = entry.metric;
    if (!entry.age.empty()) {
      cost.uptime = entry.age;
    }
    builder_.AddPath(cost);  // no next hop: the entry's own numbers, before its hops
  }

  LineKind BeginTerseRow(const TerseRow& row) {
    if (!row.destination.empty()) {
      SetDestination(row.destination);
    } else if (!haveDestination_) {
      return LineKind::kNotUnderstood;
    }
    inEntry_ = true;
    if (!recorded_) {
      builder_.Finish();
      return LineKind::kRoute;
    }
    builder_.Begin(afi_, {}, row.active ? "*" : "", destination_);
    builder_.SetProtocol(row.protocol);
    builder_.SetSource(SourceOfTerseLetter(row.protocol[0], row.preference));
    builder_.SetSelected(row.active);
    RouteBuilder::Path path;
    path.distance = row.preference;
    path.metric = row.metric;
    builder_.AddPath(path);
    AddTerseHop(row.nextHop);
    return LineKind::kRoute;
  }

  void AddTerseHop(std::string_view hop) {
    if (hop.empty()) {
      return;
    }
    RouteBuilder::Path path;
    (IsAddress(hop) ? path.address : path.interface) = hop;
    builder_.AddPath(path);
  }

  void EndTable() {
    builder_.Finish();
    inEntry_ = false;
    haveDestination_ = false;
    awaitingEntry_ = false;
  }

  RouteBuilder builder_;
  LineAccount& account_;
  std::string destination_;  // of the entries that follow, as printed
  bool haveDestination_ = false;
  bool recorded_ = false;  // the destination is a prefix: its entries are records
  Afi afi_ = Afi::kIpv4;
  bool awaitingEntry_ = false;  // the destination was printed alone; its entry follows
  bool inEntry_ = false;        // next hops and details belong to an entry
  bool terse_ = false;          // under the column heading of "show route terse"
  LineKind last_ = LineKind::kBlank;
};

LineKind Reading::Classify(std::string_view line) {
  const std::string_view text = TrimBlanks(line);
  if (text.empty()) {
    return LineKind::kBlank;
  }
  const char c = text[0];
  if (c == '>') {
    if (const std::optional<RouteBuilder::Path> hop = ReadHop(TrimLeadingBlanks(text.substr(1)))) {
      if (inEntry_) {
        builder_.AddPath(*hop);
        return LineKind::kPath;
      }
    }
    if (terse_ && inEntry_ && text.find(' ') == std::string_view::npos) {
      AddTerseHop(text.substr(1));
      return LineKind::kPath;
    }
  } else if (IsEntryMark(c) || c == '[') {
    if (const std::optional<Entry> entry = ReadEntry(text)) {
      if (!haveDestination_) {
        return LineKind::kNotUnderstood;
      }
      const bool wrapped = awaitingEntry_;
      BeginEntry(*entry);
      return wrapped ? LineKind::kPath : LineKind::kRoute;  // the rest of a wrapped line
    }
    if (text.starts_with("+ = ") || text.starts_with("@ = ")) {
      return LineKind::kLegend;
    }
  } else if (inEntry_ && (c == 't' || c == 'v' || c == 'L')) {
    if (const std::optional<RouteBuilder::Path> hop = ReadHop(text)) {
      builder_.AddPath(*hop);
      return LineKind::kPath;
    }
  }
  std::string_view rest = text;
  const std::string_view first = NextWord(rest);
  rest = TrimLeadingBlanks(rest);
  // "10.1.0.0/16        *[BGP/170] 1w2d 03:04:05, localpref 100": a destination, its first entry.
  if (!rest.empty()) {
    if (const std::optional<Entry> entry = ReadEntry(rest)) {
      SetDestination(first);
      BeginEntry(*entry);
      return LineKind::kRoute;
    }
  }
  return OtherLine(line, text, first, rest);
}

LineKind Reading::OtherLine(std::string_view line, std::string_view text, std::string_view first,
                            std::string_view rest) {
  if (const std::optional<std::string_view> table = TableOfHeading(first, rest)) {
    EndTable();
    terse_ = false;
    builder_.SetVrf(VrfOfTable(*table));
    return LineKind::kHeader;
  }
  if ((first == "A" && (rest.starts_with("V Destination") || rest.starts_with("Destination")))) {
    EndTable();
    terse_ = true;
    return LineKind::kHeader;
  }
  if (terse_ || first == "*" || ReadPrefix(first)) {
    if (const std::optional<TerseRow> row = ReadTerseRow(text)) {
      return BeginTerseRow(*row);
    }
    if (terse_ && inEntry_ && rest.empty() && (IsAddress(first) || IsNextHopType(first))) {
      AddTerseHop(first);
      return LineKind::kPath;
    }
  }
  if (IsLoneDestination(text)) {
    builder_.Finish();
    inEntry_ = false;
    SetDestination(first);
    awaitingEntry_ = true;
    return LineKind::kRoute;
  }
  if (inEntry_) {
    if (IsEntryDetail(text)) {
      return LineKind::kPath;
    }
    if (const std::optional<RouteBuilder::Path> hop = ReadHop(text)) {
      builder_.AddPath(*hop);
      return LineKind::kPath;
    }
    // An AS path the terminal wrapped: AS numbers, sets and the origin.
    if (last_ == LineKind::kPath &&
        text.find_first_not_of("0123456789 {}()[],.IE?") == std::string_view::npos) {
      return LineKind::kPath;
    }
  }
  if (text.starts_with("Restart ") || text.starts_with("Limit/Threshold")) {
    return LineKind::kHeader;
  }
  if (IsPromptBanner(text)) {
    EndTable();
    return LineKind::kPrompt;
  }
  const LineKind other = ClassifyOtherLine(line, last_ == LineKind::kLegend);
  if (other != LineKind::kPager) {
    builder_.Finish();
    inEntry_ = false;
  }
  return other;
}

void ReadLines(std::string_view text, Reading& reading) {
  ForEachCaptureLine(text, [&](std::string_view line) { reading.Line(line); });
  reading.Finish();
}

// Where the second half of a large capture can be read on its own: the first line a little
// before the middle that prints a destination with its first entry, so no entry or wrapped
// destination is cut. The thread that reads the first half also takes the second's routes.
std::size_t FindSplit(std::string_view capture) {
  const std::size_t from = capture.size() / 32 * 15;
  const std::size_t limit = from + capture.size() / 8;
  files::LineCursor cursor(capture, from);
  cursor.Next();  // the rest of the line the point falls in
  while (!cursor.AtEnd() && cursor.Position() < limit) {
    const std::size_t at = cursor.Position();
    const std::string_view line = cursor.Next();
    if (line.empty() || IsBlankChar(line[0]) || line.find('\b') != std::string_view::npos) {
      continue;
    }
    std::string_view rest = line;
    const std::string_view first = NextWord(rest);
    if (ReadPrefix(first) && ReadEntry(TrimLeadingBlanks(rest))) {
      return at;
    }
  }
  return 0;
}

// The table in force at the end of text: the VRF of its last table heading, and whether the
// column heading of the terse view follows that heading.
struct TableState {
  std::string_view vrf = kDefaultVrf;
  bool terse = false;
};
TableState StateAtEnd(std::string_view text) {
  TableState state;
  // "holddown" is in every heading and in few other lines: the search seldom stops elsewhere.
  for (std::size_t at = text.find("holddown, "); at != std::string_view::npos;
       at = text.find("holddown, ", at + 1)) {
    const std::size_t start = text.find_last_of("\r\n", at) + 1;  // npos + 1 is 0
    std::string_view rest = TrimBlanks(text.substr(start, at - start));
    const std::string_view first = NextWord(rest);
    if (const std::optional<std::string_view> table =
            TableOfHeading(first, TrimLeadingBlanks(rest))) {
      state.vrf = VrfOfTable(*table);
      state.terse = text.substr(at, 400).find("A V Destination") != std::string_view::npos ||
                    text.substr(at, 400).find("A Destination") != std::string_view::npos;
    }
  }
  return state;
}

}  // namespace

void JunosReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  // Lines marked before reading are counted by their number: one reading counts them all.
  const std::size_t split =
      capture.size() >= parallelFrom_ && !account.HasPresets() ? FindSplit(capture) : 0;
  if (split == 0) {
    Reading reading(sink, account);
    ReadLines(capture, reading);
    return;
  }
  // A large capture is read in two halves at once: the second half's routes go to a part of
  // the sink as they are read (or wait in a table) and follow the first half's.
  const std::string_view firstHalf = capture.substr(0, split);
  const TableState state = StateAtEnd(firstHalf);
  std::unique_ptr<RouteSink> part = sink.NewPart();
  RouteTable waiting;
  LineAccount secondAccount;
  Reading second(part ? *part : waiting, secondAccount, state.vrf, state.terse);
  std::future<void> reading =
      std::async(std::launch::async, [&] { ReadLines(capture.substr(split), second); });
  Reading first(sink, account);
  ReadLines(firstHalf, first);
  reading.get();
  account.Append(secondAccount);
  if (part) {
    sink.AppendPart(std::move(part));
  } else {
    waiting.ForEach([&](const RouteView& route) { sink.Put(route); });
  }
}

std::span<const std::string_view> JunosReader::Marks() const {
  return kMarks;
}

bool JunosReader::IsOwnRouteLine(std::string_view line) const {
  // "10.1.0.0/16   *[OSPF/10] ...", or a further entry "[BGP/170] ...": a protocol's name, not
  // a distance, inside the brackets.
  std::string_view text = TrimLeadingBlanks(line);
  std::optional<Entry> entry = ReadEntry(text);
  if (!entry && ReadPrefix(NextWord(text))) {
    entry = ReadEntry(TrimLeadingBlanks(text));
  }
  return entry && entry->preference.has_value();
}

}  // namespace kestrelon::tables
