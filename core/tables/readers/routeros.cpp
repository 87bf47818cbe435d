#include "tables/readers/routeros.h"

#include <array>
#include <optional>
#include <string>

#include "files/text_fields.h"
#include "tables/address_text.h"
#include "tables/capture_lines.h"
#include "tables/line_shapes.h"
#include "tables/route_builder.h"

namespace kestrelon::tables {
namespace {

using files::TakeWord;
using files::TrimBlanks;

// The legends of v6 and v7 (in either case), the tables' headings and the attributes of
// "print detail" and "print terse".
constexpr std::array<std::string_view, 7> kMarks = {"X - disabled, A - active, D - dynamic",
                                                    "B - blackhole, U - unreachable, P - prohibit",
                                                    "D - DYNAMIC; ",
                                                    "D - dynamic; ",
                                                    "DST-ADDRESS",
                                                    "dst-address=",
                                                    "gateway-status="};

// The flag letters of v6 ("ADS", "A S", "X S") and v7 ("DAc", "As", "DAo+").
bool IsFlagChar(char c) {
  return std::string_view("XADCSrbomBUPIcsidvyH+").find(c) != std::string_view::npos;
}

bool IsFlagsWord(std::string_view word) {
  if (word.empty() || word.size() > 5) {
    return false;
  }
  for (const char c : word) {
    if (!IsFlagChar(c)) {
      return false;
    }
  }
  return true;
}

bool IsDigits(std::string_view word) {
  return !word.empty() && word.find_first_not_of("0123456789") == std::string_view::npos;
}

// "gateway=": a key of an attribute, lower case words joined by "-", then "=".
std::size_t KeyLength(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && ((text[at] >= 'a' && text[at] <= 'z') || (at > 0 && text[at] == '-') ||
                              (at > 0 && text[at] >= '0' && text[at] <= '9'))) {
    ++at;
  }
  return at > 0 && at < text.size() && text[at] == '=' ? at : 0;
}

// A record's head: its number (v7 prints none for dynamic routes), its flags as printed, and
// what follows them.
struct Head {
  std::string_view number;
  std::string_view flags;
  std::string_view rest;
};

Head ReadHead(std::string_view text) {
  Head head;
  std::string_view rest = text;
  std::string_view word = TakeWord(rest);
  if (IsDigits(word)) {
    head.number = word;
    text = rest;
    word = TakeWord(rest);
  }
  // The flags stand in columns, so blanks may part them ("A S"); they end where a comment, an
  // attribute or the destination begins.
  std::string_view flags;
  while (IsFlagsWord(word) && KeyLength(word) == 0) {
    flags = text.substr(0, word.data() + word.size() - text.data());
    word = TakeWord(rest);
  }
  head.flags = flags;
  head.rest = TrimBlanks(text.substr(flags.size()));
  return head;
}

// One gateway and what its status says of it: "192.168.8.1 reachable via  lte1",
// "1.2.3.4 recursive via 10.152.1.230 ether5", "ether4 unreachable", "fe80::1%ether1".
struct Gateway {
  std::string_view address;
  std::string_view interface;
};

Gateway ReadGateway(std::string_view text) {
  Gateway gateway;
  std::string_view target = TakeWord(text);
  const std::size_t percent = target.find('%');
  if (percent != std::string_view::npos) {
    gateway.interface = target.substr(percent + 1);
    target = target.substr(0, percent);
  }
  if (IsAddress(target)) {
    gateway.address = target;
  } else {
    gateway.interface = target;
  }
  if (TakeWord(text) == "reachable" && TakeWord(text) == "via" && gateway.interface.empty()) {
    gateway.interface = TakeWord(text);
  }
  return gateway;
}

bool IsStatusWord(std::string_view word) {
  return word == "reachable" || word == "unreachable" || word == "inactive" ||
         word == "recursive" || word == "via";
}

// The columns a table prints, from its heading; v6 prints PREF-SRC, v7 may print the table.
struct Columns {
  bool known = false;
  bool prefSource = true;
  bool table = false;
};

// Whether flags are v7's: its own letters, or "D" before "A", "I" or "X" (v6 prints "AD").
bool IsV7Flags(std::string_view flags) {
  if (flags.find_first_of("csidvyIH+") != std::string_view::npos) {
    return true;
  }
  return flags.size() > 1 && flags[0] == 'D' &&
         (flags[1] == 'A' || flags[1] == 'I' || flags[1] == 'X');
}

// A route as one record gives it, its texts copied from the lines that print it.
struct Record {
  bool open = false;
  std::string flags, destination, gateways, status, immediate, type, table;
  std::optional<std::uint32_t> distance;
  bool bad = false;

  void Clear() {
    open = false;
    bad = false;
    flags.clear();
    destination.clear();
    gateways.clear();
    status.clear();
    immediate.clear();
    type.clear();
    table.clear();
    distance.reset();
  }

  void Take(std::string_view key, std::string_view value) {
    if (key == "dst-address") {
      destination.assign(value);
    } else if (key == "gateway") {
      gateways.assign(value);
    } else if (key == "gateway-status") {
      status.assign(value);
    } else if (key == "immediate-gw") {
      immediate.assign(value);
    } else if (key == "distance") {
      distance = files::ReadNumber<std::uint32_t>(value);
      bad = bad || !distance;
    } else if (key == "type") {
      type.assign(value);
    } else if (key == "routing-mark" || key == "routing-table") {
      table.assign(value);
    }
  }

  // "dst-address=0.0.0.0/0 gateway=10.1.1.1 gateway-status=10.1.1.1 reachable via  ether1":
  // a value runs to the next key (the status is printed bare) or is quoted. False when text
  // holds no attributes.
  bool TakeAttributes(std::string_view text) {
    if (KeyLength(text) == 0) {
      return false;
    }
    while (!text.empty()) {
      const std::size_t keyLength = KeyLength(text);
      if (keyLength == 0) {
        return false;
      }
      const std::string_view key = text.substr(0, keyLength);
      text.remove_prefix(keyLength + 1);
      std::string_view value;
      if (text.starts_with('"')) {
        const std::size_t close = text.find('"', 1);
        value = text.substr(1, close == std::string_view::npos ? text.size() : close - 1);
        text = close == std::string_view::npos ? std::string_view() : text.substr(close + 1);
      } else {
        std::size_t end = 0;
        for (;;) {
          end = text.find_first_of(" \t", end);
          if (end == std::string_view::npos) {
            end = text.size();
            break;
          }
          const std::string_view after = files::TrimLeadingBlanks(text.substr(end));
          if (KeyLength(after) != 0) {
            break;
          }
          end = text.size() - after.size();
          if (after.empty()) {
            break;
          }
        }
        value = TrimBlanks(text.substr(0, end));
        text = text.substr(std::min(end, text.size()));
      }
      Take(key, value);
      text = files::TrimLeadingBlanks(text);
    }
    return true;
  }

  // "0.0.0.0/0  10.0.0.2  10.0.0.1  1": the cells of a table's row after the flags.
  bool TakeCells(std::string_view text, const Columns& columns) {
    std::array<std::string_view, 4> cells{};
    std::size_t count = 0;
    const std::string_view first = TakeWord(text);
    if (!ReadPrefix(first)) {
      return false;
    }
    destination.assign(first);
    while (!text.empty()) {
      const std::string_view word = TakeWord(text);
      if (IsStatusWord(word)) {
        if (word == "via") {
          TakeWord(text);  // the interface or address the status names
        }
        continue;
      }
      if (count == cells.size() || word.find('[') != word.npos || word.ends_with(',')) {
        return false;  // "[20/0]," of another platform's route line
      }
      cells[count++] = word;
    }
    if (count > 0 && IsDigits(cells[count - 1])) {
      distance = files::ReadNumber<std::uint32_t>(cells[--count]);
    }
    // With no heading, v7's flags tell its columns from v6's.
    const bool prefSource = columns.known ? columns.prefSource : !IsV7Flags(flags);
    const bool tableColumn = columns.known ? columns.table : IsV7Flags(flags);
    if (tableColumn && count == 2) {
      table.assign(cells[--count]);
    }
    std::size_t at = 0;
    if (prefSource && count == 2) {
      if (!IsAddress(cells[0])) {
        return false;
      }
      ++at;  // the preferred source
    }
    if (count - at > 1 || !distance || *distance > 255) {
      return false;
    }
    if (at < count) {
      if (cells[at] == "blackhole" || cells[at] == "unreachable" || cells[at] == "prohibit") {
        type.assign(cells[at]);
      } else {
        gateways.assign(cells[at]);
      }
    }
    return true;
  }
};

// "C", "s", "o": the letter of the protocol among the flags.
std::string_view ProtocolLetter(std::string_view flags) {
  const std::size_t at = flags.find_first_of("CSrbomcsidvy");
  return at == std::string_view::npos ? std::string_view() : flags.substr(at, 1);
}

RouteSource SourceOf(std::string_view flags, std::string_view type) {
  if (flags.find_first_of("BUP") != std::string_view::npos || !type.empty()) {
    return RouteSource::kDiscard;
  }
  const std::string_view letter = ProtocolLetter(flags);
  switch (letter.empty() ? ' ' : letter[0]) {
    case 'C':
    case 'c':
      return RouteSource::kConnected;
    case 'S':
    case 's':
      return RouteSource::kStatic;
    case 'r':
      return RouteSource::kRip;
    case 'b':
      return RouteSource::kBgp;
    case 'o':
      return RouteSource::kOspf;
    case 'i':
      return RouteSource::kIsis;
    case 'd':
      return RouteSource::kDhcp;
    case 'v':
    case 'y':
      return RouteSource::kVpn;
    default:
      return RouteSource::kOther;
  }
}

class RouterosReading {
 public:
  RouterosReading(RouteSink& sink, LineAccount& account) : builder_(sink), account_(account) {}

  void Line(std::string_view line) {
    const LineKind kind = Classify(line, TrimBlanks(line));
    if (kind != LineKind::kPager) {
      last_ = kind;
    }
    account_.Count(kind, line);
  }

  void End() {
    Emit();
    builder_.Finish();
  }

 private:
  LineKind Classify(std::string_view line, std::string_view text) {
    if (text.empty()) {
      Emit();
      return LineKind::kBlank;
    }
    // "[admin@MikroTik] > /ip route print", or the command alone.
    if ((text.starts_with('[') && text.find('@') < text.find(']')) || text.starts_with("/ip")) {
      Emit();
      return LineKind::kPrompt;
    }
    if (last_ == LineKind::kLegend && ClassifyOtherLine(line, true) == LineKind::kLegend) {
      return LineKind::kLegend;  // the legend's next line: "B - blackhole, U - unreachable"
    }
    if (text.starts_with("Flags:")) {
      Emit();
      return LineKind::kLegend;
    }
    if (text.starts_with("Columns:") ||
        (text.starts_with('#') && text.find("DST-ADDRESS") != text.npos)) {
      Emit();
      columns_.known = true;
      columns_.prefSource = text.find("PREF-SRC") != text.npos;
      columns_.table = text.find("ROUTING-TABLE") != text.npos;
      return LineKind::kHeader;
    }
    const Head head = ReadHead(text);
    const bool headed = !head.number.empty() || !head.flags.empty();
    if (head.rest.starts_with(";;;")) {
      // A comment: the route's attributes or cells follow on the next line.
      if (headed || !record_.open) {
        Emit();
        record_.open = true;
        record_.flags.assign(head.flags);
        return LineKind::kRoute;
      }
      return LineKind::kPath;
    }
    const bool continues = !headed && record_.open && record_.destination.empty();
    if (headed || !record_.open || (!continues && KeyLength(head.rest) == 0)) {
      Emit();
      record_.flags.assign(head.flags);
    }
    const bool fresh = !record_.open;
    record_.open = true;
    const bool read = KeyLength(head.rest) != 0 ? record_.TakeAttributes(head.rest)
                                                : record_.TakeCells(head.rest, columns_);
    if (!read || record_.bad) {
      record_.Clear();
      return fresh ? ClassifyOtherLine(line, false) : LineKind::kNotUnderstood;
    }
    return fresh ? LineKind::kRoute : LineKind::kPath;
  }

  // Hands the record read to the builder: a route, or further paths of the route before it
  // (v7 prints each path of an ECMP route as a row of its own, flagged "+").
  void Emit() {
    if (!record_.open) {
      return;
    }
    const std::optional<PrefixText> prefix = ReadPrefix(record_.destination);
    if (!prefix) {
      record_.Clear();
      return;
    }
    const std::string_view vrf =
        record_.table.empty() || record_.table == "main" ? kDefaultVrf : record_.table;
    const bool ecmp = record_.flags.find('+') != std::string::npos && builder_.Pending() &&
                      lastEcmp_ && builder_.vrf() == vrf && lastPrefix_ == record_.destination &&
                      lastFlags_ == record_.flags;
    if (!ecmp) {
      if (builder_.vrf() != vrf) {
        builder_.SetVrf(vrf);
      }
      builder_.Begin(prefix->afi, {}, record_.flags, record_.destination);
      builder_.SetProtocol(ProtocolLetter(record_.flags));
      builder_.SetSource(SourceOf(record_.flags, record_.type));
      builder_.SetSelected(record_.flags.find('A') != std::string::npos);
    }
    AddPaths();
    lastEcmp_ = record_.flags.find('+') != std::string::npos;
    lastPrefix_.swap(record_.destination);
    lastFlags_.swap(record_.flags);
    record_.Clear();
  }

  // One path a gateway ("10.0.0.1,10.0.0.2" are two), its interface from the gateway's status
  // ("reachable via ether1") or from v7's immediate gateway ("10.0.0.1%ether1").
  void AddPaths() {
    RouteBuilder::Path path;
    path.distance = record_.distance;
    std::string_view gateways = record_.gateways;
    if (gateways.empty()) {
      builder_.AddPath(path);
      return;
    }
    while (!gateways.empty()) {
      const std::size_t comma = gateways.find(',');
      const Gateway gateway = ReadGateway(gateways.substr(0, comma));
      gateways = comma == std::string_view::npos ? std::string_view() : gateways.substr(comma + 1);
      path.address.reset();
      path.interface.reset();
      if (!gateway.address.empty()) {
        path.address = gateway.address;
      }
      std::string_view interface = gateway.interface;
      for (std::string_view status = record_.status; interface.empty() && !status.empty();) {
        const std::size_t next = status.find(',');
        const Gateway known = ReadGateway(status.substr(0, next));
        status = next == std::string_view::npos ? std::string_view() : status.substr(next + 1);
        if (known.address == gateway.address) {
          interface = known.interface;
        }
      }
      if (interface.empty() && !gateway.address.empty()) {
        const Gateway immediate = ReadGateway(record_.immediate);
        if (immediate.address == gateway.address) {
          interface = immediate.interface;
        }
      }
      if (!interface.empty()) {
        path.interface = interface;
      }
      builder_.AddPath(path);
    }
  }

  RouteBuilder builder_;
  LineAccount& account_;
  LineKind last_ = LineKind::kBlank;
  Columns columns_;
  Record record_;
  bool lastEcmp_ = false;
  std::string lastPrefix_, lastFlags_;
};

}  // namespace

void RouterosReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  RouterosReading reading(sink, account);
  ForEachCaptureLine(capture, [&](std::string_view line) { reading.Line(line); });
  reading.End();
}

std::span<const std::string_view> RouterosReader::Marks() const {
  return kMarks;
}

// An attribute list ("0 ADS dst-address=…") or a table's row: flags, destination, gateway,
// distance ("0 ADS 0.0.0.0/0 10.0.0.1 1"), which no other platform prints.
bool RouterosReader::IsOwnRouteLine(std::string_view line) const {
  if (line.find("dst-address=") != std::string_view::npos) {
    return true;
  }
  const Head head = ReadHead(TrimBlanks(line));
  if (head.flags.empty() || head.rest.empty() || head.rest.front() < '0' ||
      head.rest.front() > 'f') {
    return false;
  }
  Record record;
  record.flags.assign(head.flags);
  return record.TakeCells(head.rest, Columns{});
}

}  // namespace kestrelon::tables
