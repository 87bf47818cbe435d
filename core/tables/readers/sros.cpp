#include "tables/readers/sros.h"

#include <array>
#include <string>

#include "files/text_fields.h"
#include "tables/capture_lines.h"
#include "tables/line_shapes.h"
#include "tables/route_builder.h"
#include "tables/row_words.h"

namespace kestrelon::tables {
namespace {

constexpr std::array<std::string_view, 7> kMarks = {
    "Route Table (Router: ",
    "Route Table (Service: ",
    "Dest Prefix[Flags]",
    "Next Hop[Interface Name]",
    "n = Number of times nexthop is repeated",
    "B = BGP backup route available",
    "L = LFA nexthop available",
};

// "01h28m04s", "12d03h44m": digits and the letters of days, hours, minutes, seconds.
bool IsAge(std::string_view word) {
  return word.size() >= 2 && word[0] >= '0' && word[0] <= '9' &&
         word.find_first_not_of("0123456789dhms") == std::string_view::npos &&
         word.find_first_of("dhms") != std::string_view::npos;
}

// A destination line: "1.0.4.0/24 [B]  Remote  BGP VPN  01h28m04s  170". A long prefix may
// stand alone, its rest on the next line.
struct Head {
  std::string_view prefix, flags, proto, age, pref;
  Afi afi = Afi::kIpv4;
  bool complete = false;
};

std::optional<Head> ReadHead(std::string_view text) {
  const RowWords<10> w(text);
  if (w.empty() || w.overflow()) {
    return std::nullopt;
  }
  Head head;
  std::string_view first = w[0];
  std::size_t i = 1;
  const std::size_t bracket = first.find('[');
  if (bracket != std::string_view::npos && first.ends_with(']')) {
    head.flags = first.substr(bracket + 1, first.size() - bracket - 2);
    first = first.substr(0, bracket);
  } else if (w[1].starts_with('[') && w[1].ends_with(']')) {
    head.flags = w[1].substr(1, w[1].size() - 2);
    i = 2;
  }
  const std::optional<PrefixText> prefix = ReadPrefix(first);
  if (!prefix) {
    return std::nullopt;
  }
  head.prefix = first;
  head.afi = prefix->afi;
  if (i == w.size()) {
    return head;
  }
  if (w[i] != "Local" && w[i] != "Remote") {
    return std::nullopt;
  }
  const std::size_t protoAt = ++i;
  while (i < w.size() && !IsAge(w[i])) {
    ++i;
  }
  if (i == protoAt || i + 2 != w.size() || !IsDigits(w[i + 1])) {
    return std::nullopt;
  }
  head.proto = w.Span(protoAt, i - 1);
  head.age = w[i];
  head.pref = w[i + 1];
  head.complete = true;
  return head;
}

// SR OS calls connected subnets "Local".
RouteSource SourceOfProto(std::string_view proto) {
  const auto is = [&](std::string_view name) { return proto.starts_with(name); };
  if (proto == "Local") {
    return RouteSource::kConnected;
  }
  if (is("Static")) {
    return RouteSource::kStatic;
  }
  if (is("OSPF")) {
    return RouteSource::kOspf;
  }
  if (is("ISIS")) {
    return RouteSource::kIsis;
  }
  if (is("BGP")) {
    return RouteSource::kBgp;
  }
  if (is("RIP")) {
    return RouteSource::kRip;
  }
  if (is("Aggr")) {
    return RouteSource::kAggregate;
  }
  if (is("LDP")) {
    return RouteSource::kLdp;
  }
  if (is("DHCP")) {
    return RouteSource::kDhcp;
  }
  return RouteSource::kOther;
}

// "Route Table (Router: Base)", "IPv6 Route Table (Service: 100)": the table's VRF, Base being
// the global table.
std::optional<std::string_view> TableVrf(std::string_view text) {
  const std::size_t at = text.find("Route Table (");
  if (at == std::string_view::npos || !text.ends_with(')')) {
    return std::nullopt;
  }
  std::string_view inside = text.substr(at + 13, text.size() - at - 14);
  const std::size_t colon = inside.find(": ");
  if (colon == std::string_view::npos) {
    return std::nullopt;
  }
  inside = files::TrimBlanks(inside.substr(colon + 2));
  return inside == "Base" ? kDefaultVrf : inside;
}

bool IsRule(std::string_view text) {
  return text.size() >= 3 && (text.find_first_not_of('=') == std::string_view::npos ||
                              text.find_first_not_of('-') == std::string_view::npos);
}

// "Flags: n = Number of times nexthop is repeated" and its "B = BGP backup route available".
bool IsFlagLegend(std::string_view text, bool inLegend) {
  if (text.starts_with("Flags:") || text.starts_with("Flags :")) {
    return true;
  }
  const std::size_t equals = text.find(" = ");
  return inLegend && equals != std::string_view::npos && equals <= 3;
}

class EntryReader {
 public:
  explicit EntryReader(RouteSink& sink) : builder_(sink, SourceOfProto) {}

  void SetVrf(std::string_view vrf) {
    Flush();
    builder_.SetVrf(vrf);
  }

  // Begins a route, or goes on with the pending one when the destination line repeats it (a
  // further ECMP path).
  LineKind BeginEntry(const Head& head) {
    Flush();
    key_.assign(head.prefix).append("|").append(head.flags).append("|");
    key_.append(head.proto).append("|").append(head.pref);
    const bool same = builder_.Pending() && key_ == pendingKey_;
    age_.assign(head.age);
    pref_ = files::ReadNumber<std::uint32_t>(head.pref);
    expectHop_ = true;
    if (same) {
      return LineKind::kPath;
    }
    pendingKey_ = key_;
    builder_.Begin(head.afi, {}, head.flags, head.prefix);
    builder_.SetProtocol(head.proto);
    return LineKind::kRoute;
  }

  // "2.1.0.1   0", "system   0", "10.0.0.2 (tunneled)   0", "fe80::1-\"to-PE2\"   0",
  // "Black Hole   0": the next hop, then the metric; the metric may wrap to a line of its own.
  bool Hop(std::string_view text) {
    const RowWords<6> w(text);
    if (w.empty() || w.overflow() || (!expectHop_ && !held_)) {
      return false;
    }
    if (held_ && w.size() == 1 && IsDigits(w[0])) {
      metric_.assign(w[0]);
      Flush();
      return true;
    }
    Flush();
    if (!expectHop_) {
      return false;
    }
    std::size_t last = w.size() - 1;
    if (w.size() > 1 && IsDigits(w[last])) {
      metric_.assign(w[last]);
      --last;
    }
    hop_.assign(w.Span(0, last));
    held_ = true;
    expectHop_ = false;
    if (!metric_.empty()) {
      Flush();
    }
    return true;
  }

  // Adds the held next hop as a path of the pending route.
  void Flush() {
    if (!held_) {
      return;
    }
    held_ = false;
    RouteBuilder::Path path;
    std::string_view hop = hop_;
    const std::size_t quote = hop.find("-\"");
    if (quote != std::string_view::npos && hop.ends_with('"')) {
      path.address = hop.substr(0, quote);  // a link-local next hop with its interface
      path.interface = hop.substr(quote + 2, hop.size() - quote - 3);
    } else if (const RowWords<3> words(hop); IsAddress(words[0])) {
      path.address = words[0];  // "(tunneled…)" after it says how, not where
    } else {
      path.interface = hop;
    }
    path.distance = pref_;
    path.metric = files::ReadNumber<std::uint64_t>(metric_);
    path.uptime = age_;
    builder_.AddPath(path);
    metric_.clear();
  }

  bool HoldsHop() const { return held_; }

  void Finish() {
    Flush();
    expectHop_ = false;
    builder_.Finish();
  }

 private:
  RouteBuilder builder_;
  std::string key_, pendingKey_;  // prefix, flags, protocol and preference
  std::string age_, hop_, metric_;
  std::optional<std::uint32_t> pref_;
  bool expectHop_ = false;  // a destination line was read, its next hop not yet
  bool held_ = false;       // hop_ waits for its metric
};

}  // namespace

std::span<const std::string_view> SrosReader::Marks() const {
  return kMarks;
}

bool SrosReader::IsOwnRouteLine(std::string_view line) const {
  const std::optional<Head> head = ReadHead(files::TrimBlanks(line));
  return head && head->complete;
}

void SrosReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  EntryReader reader(sink);
  std::string heldHead;  // a destination alone on its line, waiting for the rest
  LineKind last = LineKind::kBlank;
  ForEachCaptureLine(capture, [&](std::string_view line) {
    const std::string_view text = files::TrimBlanks(line);
    LineKind kind = LineKind::kNotUnderstood;
    std::optional<Head> head = ReadHead(text);
    if (!heldHead.empty()) {
      if (!head && !text.empty()) {
        const std::string whole = heldHead + " " + std::string(text);
        if (const std::optional<Head> joined = ReadHead(whole); joined && joined->complete) {
          reader.BeginEntry(*joined);
          heldHead.clear();
          account.Count(LineKind::kPath, line);
          last = LineKind::kPath;
          return;
        }
      }
      heldHead.clear();
    }
    if (head && !head->complete) {
      reader.Finish();
      heldHead.assign(text);
      kind = LineKind::kRoute;
    } else if (head) {
      kind = reader.BeginEntry(*head);
    } else if (!text.empty() && (last == LineKind::kRoute || last == LineKind::kPath) &&
               !IsRule(text) && reader.Hop(text)) {
      kind = LineKind::kPath;
    } else if (const std::optional<std::string_view> vrf = TableVrf(text)) {
      reader.SetVrf(*vrf);
      kind = LineKind::kHeader;
    } else if (IsRule(text) || text.starts_with("Dest Prefix") || text.starts_with("Next Hop[") ||
               text.starts_with("No. of Routes:") || text.starts_with("No Matching Entries") ||
               text.starts_with("MINOR: ") || text.starts_with("MAJOR: ")) {
      kind = LineKind::kHeader;
      reader.Finish();
    } else if (IsFlagLegend(text, last == LineKind::kLegend)) {
      kind = LineKind::kLegend;
      reader.Finish();
    } else if ((text.ends_with(']') &&
                (text.starts_with('[') ||
                 (text.starts_with('(') && text.find(")[") != std::string_view::npos))) ||
               (text.starts_with('*') && IsPromptLine(text.substr(1)))) {
      // MD-CLI's context line ("[]", "(ex)[/configure]"), a prompt with unsaved changes
      kind = LineKind::kPrompt;
      reader.Finish();
    } else {
      kind = ClassifyOtherLine(text, last == LineKind::kLegend);
      if (kind != LineKind::kPager && kind != LineKind::kBlank) {
        reader.Finish();
      }
    }
    if (kind != LineKind::kPager) {
      last = kind;
    }
    account.Count(kind, line);
  });
  reader.Finish();
}

}  // namespace kestrelon::tables
