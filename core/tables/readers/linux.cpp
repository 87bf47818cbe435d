#include "tables/readers/linux.h"

#include <array>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "files/line_cursor.h"
#include "files/text_fields.h"
#include "tables/capture_lines.h"
#include "tables/line_shapes.h"
#include "tables/route_builder.h"

namespace kestrelon::tables {
namespace {

// The blank-separated words of a text; a line end counts as a blank, so that the lines of one
// route read as one run of words.
class Words {
 public:
  explicit Words(std::string_view text, std::size_t at = 0) : text_(text), at_(at) {}
  // The next word, or an empty one at the end.
  std::string_view Next() {
    while (at_ < text_.size() && IsSeparator(text_[at_])) {
      ++at_;
    }
    const std::size_t start = at_;
    while (at_ < text_.size() && !IsSeparator(text_[at_])) {
      ++at_;
    }
    return text_.substr(start, at_ - start);
  }
  std::size_t at() const { return at_; }

 private:
  // A blank, a tab, a line end, or any other control character: one comparison a byte.
  static bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= ' '; }
  std::string_view text_;
  std::size_t at_;
};

// Every word below starts with a small letter: a prefix or a number is passed at once.
template <std::size_t N>
bool IsOneOf(std::string_view word, const std::array<std::string_view, N>& words) {
  if (word.empty() || word[0] < 'a' || word[0] > 'z') {
    return false;
  }
  for (const std::string_view w : words) {
    if (w == word) {
      return true;
    }
  }
  return false;
}

// The route types iproute2 prints before the destination ("unicast" only with -d).
constexpr std::array<std::string_view, 11> kTypes = {
    "unicast",   "local",    "broadcast", "multicast", "anycast", "unreachable",
    "blackhole", "prohibit", "throw",     "nat",       "xresolve"};

// Flags printed after a route or a next hop.
constexpr std::array<std::string_view, 11> kFlags = {
    "dead",       "onlink",     "pervasive", "offload",          "trap", "notify", "linkdown",
    "unresolved", "rt_offload", "rt_trap",   "rt_offload_failed"};

// The words that may follow a destination first.
constexpr std::array<std::string_view, 22> kFirstKeys = {
    "via",  "dev",   "proto",  "table",   "scope",    "src",    "metric", "nhid",
    "from", "tos",   "encap",  "expires", "pref",     "error",  "mtu",    "onlink",
    "dead", "realm", "realms", "dsfield", "linkdown", "nexthop"};

// Keys whose one-word value is not kept: passed over with the key, so that a value is never
// taken for a key or a flag.
constexpr std::array<std::string_view, 12> kSkippedKeys = {
    "scope", "tos",   "dsfield", "nhid",     "weight",   "expires",
    "error", "realm", "realms",  "hoplimit", "features", "congctl"};

// The head of an iproute2 route line: "[TYPE] DESTINATION [KEY ...]".
struct RouteStart {
  bool typed = false;
  std::string_view key;                                           // the word after the destination
  std::size_t destinationAt = 0, destinationSize = 0, keyAt = 0;  // where they stand in the line
  bool isDefault = false;
  Afi afi = Afi::kIpv4;  // of a destination other than "default"
  int hostLength = 0;    // of a host printed without its length
};

// "default", a prefix or a host address.
bool ReadDestination(std::string_view word, RouteStart& start) {
  if (word == "default") {
    start.isDefault = true;
  } else if (const std::optional<PrefixText> prefix = ReadPrefix(word)) {
    start.afi = prefix->afi;
  } else if (IsIpv4Address(word)) {
    start.hostLength = 32;
  } else if (IsIpv6Address(word)) {
    start.afi = Afi::kIpv6;
    start.hostLength = 128;
  } else {
    return false;
  }
  return true;
}

std::optional<RouteStart> ReadRouteStart(std::string_view text) {
  Words words(text);
  std::string_view word = words.Next();
  RouteStart start;
  start.typed = IsOneOf(word, kTypes);
  if (start.typed) {
    word = words.Next();
  }
  if (word.empty() || !ReadDestination(word, start)) {
    return std::nullopt;
  }
  start.destinationAt = static_cast<std::size_t>(word.data() - text.data());
  start.destinationSize = word.size();
  start.keyAt = words.at();
  start.key = words.Next();
  // "blackhole 10.0.0.0/8" alone is a route; an address alone is not.
  if (start.key.empty() ? !start.typed : !IsOneOf(start.key, kFirstKeys)) {
    return std::nullopt;
  }
  return start;
}

bool IsHostChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.' || c == '@' || c == ':' || c == '~' || c == '/' || c == '(' ||
         c == ')';
}

// "/sbin/ip" is "ip".
std::string_view BaseName(std::string_view word) {
  const std::size_t slash = word.rfind('/');
  return slash == std::string_view::npos ? word : word.substr(slash + 1);
}

// A shell prompt before a command ("root@host:~# ", "[admin@fw ~]$ ", "$ "): the command
// after it, or the whole text when it is a command of its own; none for any other line.
std::optional<std::string_view> CommandOfPrompt(std::string_view text) {
  const std::size_t end = text.find_first_of("$#>%");
  if (end != std::string_view::npos && end < 80 &&
      (end + 1 == text.size() || text[end + 1] == ' ')) {
    const std::string_view prompt = text.substr(0, end);
    bool shaped = prompt.starts_with('[') && prompt.ends_with(']');
    if (!shaped) {
      shaped = true;
      for (const char c : prompt) {
        shaped = shaped && IsHostChar(c);
      }
    }
    if (shaped) {
      return files::TrimBlanks(text.substr(end + 1));
    }
  }
  const std::string_view first = BaseName(text.substr(0, text.find(' ')));
  for (const std::string_view command : {"ip", "route", "netstat", "sudo"}) {
    if (first == command) {
      return text;
    }
  }
  return std::nullopt;
}

// What a command tells of the table printed after it: its family, its table or VRF.
struct Command {
  bool table = false;  // a command that prints a routing table
  std::optional<Afi> afi;
  std::string_view vrf;
};

Command ReadCommand(std::string_view text) {
  Command command;
  Words words(text);
  std::string_view word = BaseName(words.Next());
  if (word == "sudo") {
    word = BaseName(words.Next());
  }
  const auto familyWord = [](std::string_view w) -> std::optional<Afi> {
    if (w == "inet6" || w == "ipv6") {
      return Afi::kIpv6;
    }
    if (w == "inet" || w == "ipv4") {
      return Afi::kIpv4;
    }
    return std::nullopt;
  };
  if (word == "ip") {
    for (word = words.Next(); word.starts_with('-'); word = words.Next()) {
      if (word == "-6") {
        command.afi = Afi::kIpv6;
      } else if (word == "-4") {
        command.afi = Afi::kIpv4;
      } else if (word == "-f" || word == "-family") {
        command.afi = familyWord(words.Next());
      } else if (word == "-n" || word == "-netns") {
        words.Next();
      }
    }
    // "r", "ro", "route": iproute2 takes any abbreviation of the object.
    command.table = !word.empty() && std::string_view("route").starts_with(word);
    for (word = words.Next(); command.table && !word.empty(); word = words.Next()) {
      if (word == "table" || word == "vrf") {
        command.vrf = words.Next();
      }
    }
    if (command.vrf == "main" || command.vrf == "all") {
      command.vrf = {};
    }
  } else if (word == "route" || word == "netstat") {
    command.table = word == "route";
    for (word = words.Next(); !word.empty(); word = words.Next()) {
      if (word == "-A" || word == "--protocol") {
        command.afi = familyWord(words.Next());
      } else if (word == "-6" || word == "--inet6") {
        command.afi = Afi::kIpv6;
      } else if (word.starts_with('-') && !word.starts_with("--")) {
        command.table = command.table || word.find('r') != std::string_view::npos;
        if (word.find('6') != std::string_view::npos) {
          command.afi = Afi::kIpv6;
        }
      } else if (word == "--route") {
        command.table = true;
      }
    }
  }
  return command;
}

// The columns of a net-tools table, by their heading.
struct Columns {
  int count = 0;
  int gateway = -1, genmask = -1, flags = -1, metric = -1, iface = -1;
};

// "Destination Gateway Genmask Flags Metric Ref Use Iface" (route), "... Flags MSS Window irtt
// Iface" (netstat -r), "Destination Next Hop Flag Met Ref Use If" (IPv6).
std::optional<Columns> ReadColumns(std::string_view text) {
  Words words(text);
  if (words.Next() != "Destination") {
    return std::nullopt;
  }
  Columns columns;
  columns.count = 1;
  for (std::string_view word = words.Next(); !word.empty(); word = words.Next()) {
    const int at = columns.count++;
    if (word == "Gateway" || word == "Next") {
      columns.gateway = at;
      if (word == "Next" && words.Next() != "Hop") {
        return std::nullopt;
      }
    } else if (word == "Genmask") {
      columns.genmask = at;
    } else if (word == "Flags" || word == "Flag") {
      columns.flags = at;
    } else if (word == "Metric" || word == "Met") {
      columns.metric = at;
    } else if (word == "Iface" || word == "If") {
      columns.iface = at;
    }
  }
  if (columns.gateway < 0 || columns.flags < 0 || columns.iface < 0 || columns.count > 12) {
    return std::nullopt;
  }
  return columns;
}

// "UG", "UH", "!n", "UGDAe".
bool IsFlagsColumn(std::string_view word) {
  if (word.empty() || word.size() > 8) {
    return false;
  }
  for (const char c : word) {
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '!')) {
      return false;
    }
  }
  return true;
}

// A destination name of "route" without -n ("link-local", "localnet", a host name).
bool IsName(std::string_view word) {
  if (word.empty() || !((word[0] >= 'a' && word[0] <= 'z') || (word[0] >= 'A' && word[0] <= 'Z'))) {
    return false;
  }
  for (const char c : word) {
    if (!IsHostChar(c)) {
      return false;
    }
  }
  return true;
}

// The source of a net-tools row, which prints no protocol: by its flags.
RouteSource SourceOfColumnFlags(std::string_view flags) {
  if (flags.find('!') != std::string_view::npos) {
    return RouteSource::kDiscard;
  }
  if (flags.find('n') != std::string_view::npos) {
    return RouteSource::kLocal;  // IPv6: an address of the host itself, no next hop
  }
  if (flags.find('D') != std::string_view::npos || flags.find('M') != std::string_view::npos ||
      flags.find('A') != std::string_view::npos) {
    return RouteSource::kOther;  // a redirect, or learned from router advertisements
  }
  return flags.find('G') != std::string_view::npos ? RouteSource::kKernel : RouteSource::kConnected;
}

// The source of an iproute2 route by its type, else by its protocol. Numbers are FRR's
// protocols where iproute2 has no name for them.
RouteSource SourceOfRoute(std::string_view type, std::string_view proto, bool gateway,
                          bool device) {
  if (type == "local" || type == "broadcast" || type == "anycast") {
    return RouteSource::kLocal;
  }
  if (type == "blackhole" || type == "unreachable" || type == "prohibit") {
    return RouteSource::kDiscard;
  }
  if (proto.empty() || proto == "boot" || proto == "static" || proto == "196") {
    return RouteSource::kStatic;  // "proto boot" is not printed
  }
  if (proto == "kernel") {
    return !gateway && device ? RouteSource::kConnected : RouteSource::kKernel;
  }
  struct Name {
    std::string_view proto;
    RouteSource source;
  };
  static constexpr std::array<Name, 15> kNames = {{{"dhcp", RouteSource::kDhcp},
                                                   {"bgp", RouteSource::kBgp},
                                                   {"186", RouteSource::kBgp},
                                                   {"ospf", RouteSource::kOspf},
                                                   {"188", RouteSource::kOspf},
                                                   {"isis", RouteSource::kIsis},
                                                   {"187", RouteSource::kIsis},
                                                   {"rip", RouteSource::kRip},
                                                   {"ripng", RouteSource::kRip},
                                                   {"189", RouteSource::kRip},
                                                   {"190", RouteSource::kRip},
                                                   {"eigrp", RouteSource::kEigrp},
                                                   {"192", RouteSource::kEigrp},
                                                   {"nhrp", RouteSource::kNhrp},
                                                   {"191", RouteSource::kNhrp}}};
  for (const Name& name : kNames) {
    if (name.proto == proto) {
      return name.source;
    }
  }
  return proto == "ldp" || proto == "193" ? RouteSource::kLdp : RouteSource::kOther;
}

// One path of an iproute2 route.
struct Hop {
  std::string_view address, interface;
  std::optional<Afi> viaFamily;  // "via inet6 ADDR": the next hop's family, not the route's
};

// The reading of one capture: the route being read (its lines, kept until the next line that
// is no part of it), the table a command echo names, the net-tools table under way.
class Reading {
 public:
  Reading(RouteSink& sink, LineAccount& account) : builder_(sink), account_(account) {}

  void Line(std::string_view line) {
    const std::string_view text = files::TrimBlanks(line);
    account_.Count(Kind(text, line), line);
  }

  void Lines(std::string_view text) {
    ForEachCaptureLine(text, [&](std::string_view line) { Line(line); });
  }

  void End() {
    Flush();
    builder_.Finish();
  }

  // Whether what follows is read as from the start of a capture: no command or net-tools
  // heading in force.
  bool AsAtStart() const { return !commandAfi_ && commandVrf_ == kDefaultVrf && !columns_; }

 private:
  LineKind Kind(std::string_view text, std::string_view line) {
    if (text.empty()) {
      Flush();
      lastKey_.clear();
      return LineKind::kBlank;
    }
    if (columns_ && ReadColumnRow(text)) {
      return LineKind::kRoute;
    }
    // A further path or the rest of a wrapped line starts with a word: a prefix, with a digit.
    std::string_view first;
    if (pending_ && text[0] >= 'a' && text[0] <= 'z') {
      first = Words(text).Next();
    }
    if (pending_ && (first == "nexthop" || IsOneOf(first, kFirstKeys))) {
      Keep(text);  // a further path, or the rest of a wrapped line
      return LineKind::kPath;
    }
    if (pending_ && first == "cache") {
      return LineKind::kPath;  // the cached attributes of the route above
    }
    if (const std::optional<RouteStart> start = ReadRouteStart(text)) {
      Flush();
      pending_ = true;
      start_ = *start;
      Keep(text);
      return LineKind::kRoute;
    }
    Flush();
    lastKey_.clear();  // routes on either side of this line are not one
    if (text.starts_with("Kernel IP routing table") ||
        text.starts_with("Kernel IPv6 routing table")) {
      columnsAfi_ = text.starts_with("Kernel IPv6") ? Afi::kIpv6 : Afi::kIpv4;
      columns_.reset();
      return LineKind::kHeader;
    }
    if (std::optional<Columns> columns = ReadColumns(text)) {
      columns_ = columns;
      if (columns->genmask < 0) {
        columnsAfi_ = Afi::kIpv6;
      }
      return LineKind::kHeader;
    }
    if (const std::optional<std::string_view> command = CommandOfPrompt(text)) {
      const Command read = ReadCommand(*command);
      if (read.table || !command->empty()) {
        commandAfi_ = read.afi;
        commandVrf_.assign(read.vrf.empty() ? kDefaultVrf : read.vrf);
        columns_.reset();
      }
      return LineKind::kPrompt;
    }
    return ClassifyOtherLine(line, false);
  }

  void Keep(std::string_view text) {
    if (!lines_.empty()) {
      lines_.push_back('\n');
    }
    lines_.append(text);
  }

  // A row of a net-tools table, read at once; false for a line that is none.
  bool ReadColumnRow(std::string_view text) {
    std::array<std::string_view, 12> cells;
    Words words(text);
    int count = 0;
    for (std::string_view word = words.Next(); !word.empty(); word = words.Next()) {
      if (count == columns_->count) {
        return false;
      }
      cells[count++] = word;
    }
    if (count != columns_->count || !IsFlagsColumn(cells[columns_->flags])) {
      return false;
    }
    const std::string_view destination = cells[0];
    const std::string_view flags = cells[columns_->flags];
    std::optional<int> length;
    std::string_view address = destination;
    if (columns_->genmask >= 0) {
      length = DottedMaskLength(cells[columns_->genmask]);
      if (destination == "default") {
        address = "0.0.0.0";
      } else if (!IsIpv4Address(destination) && !IsName(destination)) {
        return false;
      }
    } else if (const std::optional<PrefixText> prefix = ReadPrefix(destination)) {
      address = prefix->address;
      length = prefix->length;
    }
    if (!length) {
      return false;
    }
    Flush();
    lastKey_.clear();
    if (builder_.vrf() != kDefaultVrf) {
      builder_.SetVrf(kDefaultVrf);
    }
    builder_.Begin(columnsAfi_, {}, flags, address, *length);
    builder_.SetSource(SourceOfColumnFlags(flags));
    RouteBuilder::Path path;
    const std::string_view gateway = cells[columns_->gateway];
    if (gateway != "0.0.0.0" && gateway != "*" && gateway != "-" && gateway != "::") {
      path.address = gateway;
    }
    const std::string_view iface = cells[columns_->iface];
    if (iface != "-" && iface != "*") {
      path.interface = iface;
    }
    if (columns_->metric >= 0) {
      path.metric = files::ReadNumber<std::uint64_t>(cells[columns_->metric]);
    }
    builder_.AddPath(path);
    return true;
  }

  // Reads the route whose lines were kept: "[TYPE] DESTINATION KEY VALUE ...", then the
  // further paths ("nexthop via ADDR dev IF weight N") and the rest of wrapped lines.
  void Flush() {
    if (!pending_) {
      return;
    }
    pending_ = false;
    // The head was read with the line: its words are not read again.
    const std::string_view all = lines_;
    const std::string_view type = start_.typed ? Words(all).Next() : std::string_view();
    const std::string_view destination = all.substr(start_.destinationAt, start_.destinationSize);
    Words words(all, start_.keyAt);
    flags_.clear();
    if (!type.empty() && type != "unicast") {
      flags_.append(type);
    }
    hops_.assign(1, Hop{});
    std::string_view table, proto;
    std::optional<std::uint64_t> metric;
    std::string_view source;  // the first source address
    bool pref = false;        // printed for IPv6 routes only
    bool routeFlags = true;   // flags before the first "nexthop" are the route's
    for (std::string_view word = words.Next(); !word.empty(); word = words.Next()) {
      Hop& hop = hops_.back();
      if (word == "via") {
        word = words.Next();
        if (word == "inet" || word == "inet6") {
          hop.viaFamily = word == "inet6" ? Afi::kIpv6 : Afi::kIpv4;
          word = words.Next();
        }
        hop.address = word;
      } else if (word == "dev") {
        hop.interface = words.Next();
      } else if (word == "nexthop") {
        hops_.emplace_back();
        routeFlags = false;
      } else if (word == "table") {
        table = words.Next();
      } else if (word == "proto") {
        proto = words.Next();
      } else if (word == "metric") {
        metric = files::ReadNumber<std::uint64_t>(words.Next());
      } else if (word == "src" || word == "from") {
        const std::string_view from = words.Next();
        source = source.empty() ? from : source;
      } else if (word == "pref") {
        words.Next();
        pref = true;
      } else if (IsOneOf(word, kSkippedKeys)) {
        words.Next();
      } else if (routeFlags && IsOneOf(word, kFlags)) {
        if (!flags_.empty()) {
          flags_.push_back(' ');
        }
        flags_.append(word);
      }
    }
    Build(type, destination, table, proto, metric, source, pref);
    lines_.clear();
  }

  void Build(std::string_view type, std::string_view destination, std::string_view table,
             std::string_view proto, std::optional<std::uint64_t> metric, std::string_view source,
             bool pref) {
    bool gateway = false, device = false;
    for (const Hop& hop : hops_) {
      gateway = gateway || !hop.address.empty();
      device = device || !hop.interface.empty();
    }
    if (!table.empty()) {
      const std::string_view vrf = table == "main" ? kDefaultVrf : table;
      if (builder_.vrf() != vrf) {
        builder_.SetVrf(vrf);
      }
    } else if (builder_.vrf() != commandVrf_) {
      builder_.SetVrf(commandVrf_);
    }
    const Afi family = start_.isDefault ? DefaultFamily(source, pref) : start_.afi;
    const std::string_view prefix = !start_.isDefault      ? destination
                                    : family == Afi::kIpv6 ? "::/0"
                                                           : "0.0.0.0/0";
    // Older kernels print each path of an IPv6 multipath route as a line of its own: one route.
    key_.clear();
    if (family == Afi::kIpv6) {
      key_.append(destination).append(" ").append(type).append(" ").append(proto).append(" ");
      key_.append(flags_).append(" ").append(metric ? std::to_string(*metric) : "-");
    }
    const bool samePaths = family == Afi::kIpv6 && builder_.Pending() && key_ == lastKey_;
    std::swap(key_, lastKey_);
    if (samePaths) {
      AddPaths(metric);
      return;
    }
    if (start_.hostLength > 0) {
      builder_.Begin(family, {}, flags_, destination, start_.hostLength);
    } else {
      builder_.Begin(family, {}, flags_, prefix);
    }
    builder_.SetProtocol(proto);
    builder_.SetSource(SourceOfRoute(type, proto, gateway, device));
    AddPaths(metric);
  }

  // The family of "default": by the next hop, the source address, "pref", the command.
  Afi DefaultFamily(std::string_view source, bool pref) const {
    const auto of = [](std::string_view address) {
      return address.find(':') == std::string_view::npos ? Afi::kIpv4 : Afi::kIpv6;
    };
    for (const Hop& hop : hops_) {
      if (!hop.address.empty()) {
        // "via inet6 ADDR" is printed where the next hop's family differs from the route's.
        return hop.viaFamily ? (*hop.viaFamily == Afi::kIpv6 ? Afi::kIpv4 : Afi::kIpv6)
                             : of(hop.address);
      }
    }
    if (!source.empty()) {
      return of(source);
    }
    return pref ? Afi::kIpv6 : commandAfi_.value_or(Afi::kIpv4);
  }

  // The paths of the route read, the metric with the first.
  void AddPaths(std::optional<std::uint64_t> metric) {
    for (const Hop& hop : hops_) {
      if (hop.address.empty() && hop.interface.empty()) {
        continue;
      }
      RouteBuilder::Path path;
      if (!hop.address.empty()) {
        path.address = hop.address;
      }
      if (!hop.interface.empty()) {
        path.interface = hop.interface;
      }
      path.metric = metric;
      metric.reset();  // the route's, given once
      builder_.AddPath(path);
    }
    if (metric) {
      RouteBuilder::Path path;
      path.metric = metric;
      builder_.AddPath(path);  // a route without a path ("unreachable")
    }
  }

  RouteBuilder builder_;
  LineAccount& account_;
  bool pending_ = false;
  RouteStart start_;   // of the pending route
  std::string lines_;  // the pending route's lines, joined by line ends
  std::string flags_;
  std::vector<Hop> hops_;
  std::string key_, lastKey_;  // of the IPv6 route read and the one before, while they run on
  std::optional<Afi> commandAfi_;
  std::string commandVrf_{kDefaultVrf};
  std::optional<Columns> columns_;
  Afi columnsAfi_ = Afi::kIpv4;
};

// Where the second half of a large capture can be read on its own: the first route line a
// little before the middle that follows another route line of another destination (so that
// no path, wrapped line or IPv6 path line is parted from its route).
std::size_t FindSplit(std::string_view capture) {
  const std::size_t from = capture.size() / 32 * 15;
  files::LineCursor cursor(capture, from);
  cursor.Next();  // the rest of the line the point falls in
  const std::size_t limit = from + capture.size() / 8;
  std::string_view previous;  // the destination of the line before, when it begins a route
  while (!cursor.AtEnd() && cursor.Position() < limit) {
    const std::size_t at = cursor.Position();
    const std::string_view text = files::TrimBlanks(cursor.Next());
    std::string_view destination;
    if (const std::optional<RouteStart> start = ReadRouteStart(text);
        start && text.find('\b') == std::string_view::npos) {
      destination = text.substr(start->destinationAt, start->destinationSize);
      if (!previous.empty() && previous != destination) {
        return at;
      }
    }
    previous = destination;
  }
  return 0;
}

constexpr std::array<std::string_view, 4> kMarks = {
    "Kernel IP routing table", "Kernel IPv6 routing table", " proto kernel", " scope link"};

}  // namespace

void LinuxReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  // Lines marked before reading are counted by their number: one reading counts them all.
  const std::size_t split =
      capture.size() >= parallelFrom_ && !account.HasPresets() ? FindSplit(capture) : 0;
  std::unique_ptr<RouteSink> part = split > 0 ? sink.NewPart() : nullptr;
  Reading reading(sink, account);
  if (!part) {
    reading.Lines(capture);
    reading.End();
    return;
  }
  // A large capture is read in two halves at once; the second half's reading holds when the
  // first half ends as a capture starts (no command echo or heading in force), else it is read
  // again after the first.
  LineAccount secondAccount;
  Reading second(*part, secondAccount);
  std::future<void> secondRead = std::async(std::launch::async, [&] {
    second.Lines(capture.substr(split));
    second.End();
  });
  reading.Lines(capture.substr(0, split));
  secondRead.get();
  if (!reading.AsAtStart()) {
    reading.Lines(capture.substr(split));
    reading.End();
    return;
  }
  reading.End();
  sink.AppendPart(std::move(part));
  account.Append(secondAccount);
}

std::span<const std::string_view> LinuxReader::Marks() const {
  return kMarks;
}

bool LinuxReader::IsOwnRouteLine(std::string_view line) const {
  const std::string_view text = files::TrimBlanks(line);
  if (text.starts_with("nexthop via ")) {
    return text.find(" dev ") != std::string_view::npos;
  }
  const std::optional<RouteStart> start = ReadRouteStart(text);
  return start && (start->typed || text.find(" dev ") != std::string_view::npos);
}

}  // namespace kestrelon::tables
