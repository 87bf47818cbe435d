#include "tables/zebra_table.h"

#include <array>
#include <functional>
#include <string>

#include "files/text_fields.h"
#include "routes/route_path_fields.h"
#include "tables/address_text.h"
#include "tables/capture_lines.h"
#include "tables/line_accounting.h"
#include "tables/line_shapes.h"
#include "tables/route_builder.h"

namespace kestrelon::tables {
namespace {

constexpr std::string_view kUnreachable = "unreachable";

std::string_view Word(std::string_view text) {
  return text.substr(0, std::min(text.find_first_of(" \t,()"), text.size()));
}

bool Consume(std::string_view& text, std::string_view start) {
  if (!text.starts_with(start)) {
    return false;
  }
  text = files::TrimLeadingBlanks(text.substr(start.size()));
  return true;
}

// What a parenthesis after the next hop says: its VRF, the next hop it resolves through, what
// an unreachable route does with the packets.
void ReadGroup(std::string_view inner, ZebraPath& path) {
  inner = files::TrimBlanks(inner);
  if (inner.starts_with("vrf ")) {
    path.vrf = files::TrimBlanks(inner.substr(4));
  } else if (inner == "recursive") {
    path.recursive = true;
  } else if (inner.starts_with("recursive")) {
    // "recursive is directly connected, pppoe4", "recursive via 10.0.0.1, port1": the
    // interface the next hop leaves by.
    const std::size_t comma = inner.rfind(',');
    if (comma != std::string_view::npos && path.interface.empty()) {
      const std::string_view word = Word(files::TrimLeadingBlanks(inner.substr(comma + 1)));
      if (!word.empty() && !IsAddress(word)) {
        path.interface = word;
      }
    }
  } else if (path.interface == kUnreachable) {
    // "(blackhole)", "(ICMP unreachable)", "(ICMP prohibited)"
    path.interface = inner.starts_with("ICMP ") ? inner.substr(5) : inner;
  }
}

// Skips what stands between the next hop and the first comma ("inactive", "onlink", "tunnel X")
// and reads the parentheses among it; an unbalanced ")" is skipped as printed.
void ReadQualifiers(std::string_view& text, ZebraPath& path) {
  while (!text.empty() && text[0] != ',') {
    if (text[0] == '(') {
      const std::size_t close = text.find(')');
      if (close == std::string_view::npos) {
        ReadGroup(text.substr(1), path);
        text = {};
        return;
      }
      ReadGroup(text.substr(1, close - 1), path);
      text = files::TrimLeadingBlanks(text.substr(close + 1));
    } else if (text[0] == ')') {
      text = files::TrimLeadingBlanks(text.substr(1));
    } else {
      const std::string_view word = Word(text);
      text = files::TrimLeadingBlanks(text.substr(std::max<std::size_t>(word.size(), 1)));
    }
  }
}

// One comma field: the interface, the uptime, or a note ("weight 1", "label 16", "src X",
// FortiOS's "[1/0]") that says nothing the record keeps.
void ReadField(std::string_view field, ZebraPath& path) {
  if (field.empty() || field[0] == '[') {
    return;
  }
  if (field[0] == '(') {
    ReadQualifiers(field, path);  // "(vrf red)" on its own
    return;
  }
  if (field[0] >= '0' && field[0] <= '9' && routes::IsUptimeText(field)) {
    if (path.uptime.empty()) {
      path.uptime = field;
    }
    return;
  }
  const std::string_view first = Word(field);
  static constexpr std::array<std::string_view, 11> kNotes = {"weight",   "label",  "src", "tag",
                                                              "inactive", "onlink", "bh",  "rej",
                                                              "backup",   "metric", "mtu"};
  for (const std::string_view note : kNotes) {
    if (first == note) {
      return;
    }
  }
  if (path.interface.empty() && !first.empty()) {
    path.interface = first;
    std::string_view rest = files::TrimLeadingBlanks(field.substr(first.size()));
    ReadQualifiers(rest, path);  // "eth0 (vrf red)", "eth0 onlink"
  }
}

// The marks a route or path line prints beside its code: selected, installed, queued,
// rejected, trapped, offload failure, stale, backup.
bool IsMarks(std::string_view word) {
  return word.find_first_not_of(">*qrtopb") == std::string_view::npos;
}

bool IsCodeWord(std::string_view word) {
  if (word.empty() || word.size() > 4) {
    return false;
  }
  return IsWordOf(word, "*");
}

// The next word of text from at (blanks before it skipped); at moves past it.
std::string_view NextWord(std::string_view text, std::size_t& at) {
  at = std::min(text.find_first_not_of(" \t", at), text.size());
  const std::size_t end = std::min(text.find_first_of(" \t", at), text.size());
  const std::string_view word = text.substr(at, end - at);
  at = end;
  return word;
}

// A further path: its marks, if any, then the path ("  *    via 10.0.0.2, eth1, weight 1").
std::optional<ZebraPath> ReadPathLine(std::string_view text) {
  std::size_t at = 0;
  const std::string_view first = NextWord(text, at);
  if (!first.empty() && first[0] != '[' && IsMarks(first)) {
    text = text.substr(at);
  }
  return ReadZebraPath(text);
}

// The prompts the shared shapes do not know: the shell of EdgeOS and VyOS ("ubnt@edge:~$ show
// ip route") and FortiOS's, with blanks around its "#" ("FGT # get router …", "FGT (root) # ").
bool IsShellPrompt(std::string_view text) {
  const std::size_t blank = std::min(text.find(' '), text.size());
  const std::string_view first = text.substr(0, blank);
  if (first.size() > 2 && first.ends_with('$') && first.find('@') != std::string_view::npos) {
    return true;
  }
  std::string_view rest = files::TrimLeadingBlanks(text.substr(blank));
  if (first.empty() || rest.empty()) {
    return false;
  }
  if (rest[0] == '(') {
    const std::size_t close = rest.find(')');
    if (close == std::string_view::npos) {
      return false;
    }
    rest = files::TrimLeadingBlanks(rest.substr(close + 1));
  }
  return rest == "#" || rest.starts_with("# ");
}

// What a line that holds no route and no path is.
LineKind OtherLine(std::string_view text, std::string_view line, bool inLegend) {
  if (text.starts_with("Timers: ")) {
    return LineKind::kHeader;  // "Timers: Uptime" above an IPv6 table
  }
  return IsShellPrompt(text) ? LineKind::kPrompt : ClassifyOtherLine(line, inLegend);
}

// A path read but not yet handed on: the lines after a bare "(recursive)" next hop resolve it,
// and the first of them gives its interface.
class HeldPath {
 public:
  explicit HeldPath(std::string_view capture) : capture_(capture) {}

  void Hold(const ZebraPath& path) {
    held_ = true;
    path_ = path;
    Keep(path_.address, 0);
    Keep(path_.interface, 1);
    Keep(path_.vrf, 2);
    Keep(path_.uptime, 3);
  }
  // Whether path resolves the held next hop, which then takes its interface.
  bool Resolves(const ZebraPath& path) {
    if (!held_ || !path_.recursive || path.recursive || path.distance) {
      return false;
    }
    if (path_.interface.empty()) {
      path_.interface = path.interface;
      Keep(path_.interface, 1);
    }
    return true;
  }
  void HandTo(RouteBuilder& builder) {
    if (!held_) {
      return;
    }
    held_ = false;
    const auto text = [](std::string_view s) { return s.empty() ? OptionalText() : s; };
    builder.AddPath({text(path_.address), text(path_.interface), text(path_.vrf), path_.distance,
                     path_.metric, text(path_.uptime)});
  }

 private:
  // Most texts stay in the capture; those of a line whose backspaces were applied live no
  // longer than that line, and are copied.
  void Keep(std::string_view& text, std::size_t slot) {
    const std::less<const char*> before;
    if (text.empty() || (!before(text.data(), capture_.data()) &&
                         !before(capture_.data() + capture_.size(), text.data() + text.size()))) {
      return;
    }
    owned_[slot].assign(text);
    text = owned_[slot];
  }

  std::string_view capture_;
  bool held_ = false;
  ZebraPath path_;
  std::array<std::string, 4> owned_;
};

}  // namespace

std::optional<ZebraPath> ReadZebraPath(std::string_view text) {
  text = files::TrimBlanks(text);
  ZebraPath path;
  bool opened = false;
  if (text.starts_with('[')) {
    const std::size_t close = text.find(']');
    const std::string_view inside = text.substr(1, close - 1);
    const std::size_t slash = inside.find('/');
    if (close == std::string_view::npos || slash == std::string_view::npos) {
      return std::nullopt;
    }
    path.distance = files::ReadNumber<std::uint32_t>(inside.substr(0, slash));
    path.metric = files::ReadNumber<std::uint64_t>(inside.substr(slash + 1));
    if (!path.distance || !path.metric) {
      return std::nullopt;
    }
    text = files::TrimLeadingBlanks(text.substr(close + 1));
    opened = true;
  }
  if (Consume(text, "via ")) {
    const std::string_view target = Word(text);
    if (target.empty()) {
      return std::nullopt;
    }
    (IsAddress(target) ? path.address : path.interface) = target;
    text = files::TrimLeadingBlanks(text.substr(target.size()));
  } else if (Consume(text, "unreachable")) {
    path.interface = kUnreachable;
  } else if (!Consume(text, "is directly connected") && !Consume(text, "directly connected") &&
             !Consume(text, "is a summary") && !opened) {
    return std::nullopt;
  }
  ReadQualifiers(text, path);
  while (!text.empty()) {
    text.remove_prefix(1);  // the comma
    const std::size_t comma = std::min(text.find(','), text.size());
    ReadField(files::TrimBlanks(text.substr(0, comma)), path);
    text = text.substr(comma);
  }
  return path;
}

std::optional<ZebraHead> ReadZebraHead(std::string_view line) {
  const std::string_view text = files::TrimLeadingBlanks(line);
  if (text.empty() || !((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'))) {
    return std::nullopt;  // most lines that are no route
  }
  ZebraHead head;
  std::size_t at = 0;
  std::string_view word = NextWord(text, at);
  // "O>*": the code's one letter with its marks; "O*E2": IOS's code with its star inside.
  if (IsMarks(word.substr(1))) {
    head.code = word.substr(0, 1);
    head.marks = word.substr(1);
  } else if (IsCodeWord(word)) {
    head.code = word;
  } else {
    return std::nullopt;
  }
  for (int words = 1; words < 4; ++words) {
    word = NextWord(text, at);
    if (const std::optional<PrefixText> prefix = ReadPrefix(word)) {
      head.prefix = *prefix;
      head.prefixText = word;
      head.rest = text.substr(at);
      return head;
    }
    if (head.marks.empty() && IsMarks(word) && !word.empty()) {
      head.marks = word;  // "S    *> 0.0.0.0/0"
    } else if (head.marks.empty() && IsCodeWord(word)) {
      head.code = text.substr(0, at);  // "O IA", its blanks as printed
    } else {
      return std::nullopt;
    }
  }
  return std::nullopt;
}

void ReadZebraTable(std::string_view capture, RouteSink& sink, LineAccount& account,
                    const ZebraDialect& dialect) {
  RouteBuilder builder(sink, dialect.sourceOf);
  HeldPath held(capture);
  bool inLegend = false;
  bool printsUnselected = dialect.printsUnselected;
  const auto finish = [&] {
    held.HandTo(builder);
    builder.Finish();
  };
  ForEachCaptureLine(capture, [&](std::string_view line) {
    const std::string_view text = files::TrimBlanks(line);
    LineKind kind = LineKind::kNotUnderstood;
    std::optional<ZebraHead> head;
    std::optional<ZebraPath> path;
    if (const std::optional<std::string_view> vrf = dialect.sectionVrf(text)) {
      finish();
      builder.SetVrf(*vrf);
      kind = LineKind::kHeader;
    } else if ((head = ReadZebraHead(text)) &&
               ((path = ReadZebraPath(head->rest)) || IsBlank(head->rest))) {
      finish();
      builder.Begin(head->prefix.afi, head->code, head->marks, head->prefixText);
      const bool selected = head->marks.find('>') != std::string_view::npos;
      if (printsUnselected || selected) {
        builder.SetSelected(selected);
      }
      if (path) {
        held.Hold(*path);
      }
      kind = LineKind::kRoute;
    } else if (builder.Pending() && !head && (path = ReadPathLine(text))) {
      if (!held.Resolves(*path)) {
        held.HandTo(builder);
        held.Hold(*path);
      }
      kind = LineKind::kPath;
    } else if (const LineKind other =
                   head ? LineKind::kNotUnderstood : OtherLine(text, line, inLegend);
               other != LineKind::kNotUnderstood) {
      kind = other;
      if (other == LineKind::kLegend && text.find("> - selected route") != std::string_view::npos) {
        printsUnselected = true;
      }
      if (other != LineKind::kPager) {
        finish();
      }
    } else {
      finish();
    }
    inLegend = kind == LineKind::kLegend;
    account.Count(kind, line);
  });
  finish();
}

}  // namespace kestrelon::tables
