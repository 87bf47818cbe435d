#include "tables/readers/panos.h"

#include <array>

#include "files/text_fields.h"
#include "tables/capture_lines.h"
#include "tables/line_accounting.h"
#include "tables/line_shapes.h"
#include "tables/route_builder.h"

namespace kestrelon::tables {
namespace {

constexpr std::array<std::string_view, 4> kMarks = {"VIRTUAL ROUTER: ", "flags: A:active",
                                                    "Oi:ospf intra-area", "total routes shown: "};

bool IsDigits(std::string_view word) {
  return !word.empty() && word.find_first_not_of("0123456789") == std::string_view::npos;
}

// A word of the flags column: "A?B", "A", "O2", "Oi", "E", "~".
bool IsFlagsWord(std::string_view word) {
  return !word.empty() && (word[0] < '0' || word[0] > '9') &&
         word.find_first_not_of("A?CHS~ROBEMio12") == std::string_view::npos;
}

// The protocol inside a flags word: "B" of "A?B", "O2" of "O2"; empty for "A", "E", "M".
std::string_view ProtocolOf(std::string_view word) {
  word = word.substr(std::min(word.find_first_not_of("A?"), word.size()));
  return word == "E" || word == "M" ? std::string_view() : word;
}

RouteSource SourceOf(std::string_view protocol) {
  constexpr std::pair<std::string_view, RouteSource> kSources[] = {
      {"C", RouteSource::kConnected},  {"H", RouteSource::kLocal},
      {"S", RouteSource::kStatic},     {"R", RouteSource::kRip},
      {"O", RouteSource::kOspf},       {"Oi", RouteSource::kOspf},
      {"Oo", RouteSource::kOspfInter}, {"O1", RouteSource::kOspfExt1},
      {"O2", RouteSource::kOspfExt2},  {"B", RouteSource::kBgp}};
  for (const auto& [code, source] : kSources) {
    if (protocol == code) {
      return source;
    }
  }
  return RouteSource::kOther;
}

// Where the header line puts the interface column ("destination nexthop metric flags age
// interface next-AS"): a number that stands left of it is an age, right of it a next AS.
constexpr std::size_t kNoColumn = std::string_view::npos;

// One row: "10.7.7.0/24  10.6.255.25  10  A O2  3474418 ae1.255". Read by its words from both
// ends, since a long age pushes the columns after it right.
struct Row {
  PrefixText prefix;
  std::string_view destination, nextHop, flags, protocol, age, interface;
  std::optional<std::uint64_t> metric;
};

std::optional<Row> ReadRow(std::string_view line, std::size_t interfaceColumn) {
  struct Word {
    std::size_t at;
    std::string_view text;
  };
  std::array<Word, 12> words{};
  std::size_t count = 0;
  for (std::size_t at = 0; at < line.size() && count < words.size();) {
    at = line.find_first_not_of(" \t", at);
    if (at == std::string_view::npos) {
      break;
    }
    const std::size_t end = std::min(line.find_first_of(" \t", at), line.size());
    words[count++] = {at, line.substr(at, end - at)};
    at = end;
  }
  if (count < 3) {
    return std::nullopt;
  }
  Row row;
  const std::optional<PrefixText> prefix = ReadPrefix(words[0].text);
  if (!prefix) {
    return std::nullopt;
  }
  row.prefix = *prefix;
  row.destination = words[0].text;
  std::size_t i = 1;
  const bool blankNextHop =
      IsFlagsWord(words[1].text) || (IsDigits(words[1].text) && IsFlagsWord(words[2].text));
  if (!blankNextHop) {
    row.nextHop = words[i++].text;
  }
  if (IsDigits(words[i].text)) {
    row.metric = files::ReadNumber<std::uint64_t>(words[i].text);
    if (!row.metric) {
      return std::nullopt;
    }
    ++i;
  }
  const std::size_t firstFlag = i;
  while (i < count && IsFlagsWord(words[i].text)) {
    if (row.protocol.empty()) {
      row.protocol = ProtocolOf(words[i].text);
    }
    ++i;
  }
  if (i == firstFlag) {
    return std::nullopt;
  }
  const Word& lastFlag = words[i - 1];
  row.flags =
      line.substr(words[firstFlag].at, lastFlag.at + lastFlag.text.size() - words[firstFlag].at);
  // Then the age, the interface and the next AS, each of them may be blank.
  std::size_t numbers = 0;
  for (std::size_t k = i; k < count; ++k) {
    const Word& word = words[k];
    if (!IsDigits(word.text)) {
      if (!row.interface.empty()) {
        return std::nullopt;
      }
      row.interface = word.text;
    } else if (++numbers > 2) {
      return std::nullopt;
    } else if (row.age.empty() && row.interface.empty() &&
               (numbers == 1 &&
                (k + 1 < count || interfaceColumn == kNoColumn || word.at < interfaceColumn))) {
      row.age = word.text;
    }
  }
  return row;
}

std::optional<std::string_view> SectionVrf(std::string_view text) {
  if (!text.starts_with("VIRTUAL ROUTER:")) {
    return std::nullopt;
  }
  const std::string_view rest = files::TrimBlanks(text.substr(15));
  return files::TrimBlanks(rest.substr(0, rest.find(" (")));
}

}  // namespace

void PanosReader::Read(std::string_view capture, RouteSink& sink, LineAccount& account) const {
  RouteBuilder builder(sink, SourceOf);
  std::size_t interfaceColumn = kNoColumn;
  bool inLegend = false;
  std::string lastKey;  // the destination and flags of the pending route
  ForEachCaptureLine(capture, [&](std::string_view line) {
    const std::string_view text = files::TrimBlanks(line);
    LineKind kind = LineKind::kNotUnderstood;
    if (const std::optional<std::string_view> vrf = SectionVrf(text)) {
      builder.SetVrf(*vrf);
      interfaceColumn = kNoColumn;
      kind = LineKind::kHeader;
    } else if (const std::optional<Row> row = ReadRow(line, interfaceColumn)) {
      // The rows of one destination with the same flags, "E" among them, are the paths of one
      // route; inactive rows of the same destination are routes of their own.
      if (!builder.Pending() || row->flags.find('E') == std::string_view::npos ||
          lastKey.size() != row->destination.size() + row->flags.size() ||
          !std::string_view(lastKey).starts_with(row->destination) ||
          !std::string_view(lastKey).ends_with(row->flags)) {
        builder.Begin(row->prefix.afi, row->protocol, row->flags, row->destination);
        builder.SetSelected(row->flags.find('A') != std::string_view::npos);
        lastKey.assign(row->destination).append(row->flags);
      }
      RouteBuilder::Path path;
      if (IsAddress(row->nextHop)) {
        path.address = row->nextHop;
      } else if (!row->nextHop.empty()) {
        path.interface = row->nextHop;  // "discard"
      }
      if (!row->interface.empty()) {
        path.interface = row->interface;
      }
      path.metric = row->metric;
      if (!row->age.empty()) {
        path.uptime = row->age;
      }
      builder.AddPath(path);
      kind = LineKind::kRoute;
    } else if (text.starts_with("destination ") &&
               text.find(" nexthop ") != std::string_view::npos) {
      const std::size_t at = line.find(" interface");
      interfaceColumn = at == std::string_view::npos ? kNoColumn : at + 1;
      kind = LineKind::kHeader;
    } else if (!text.empty() && text.find_first_not_of('=') == std::string_view::npos) {
      kind = LineKind::kHeader;  // the rule under the heading
    } else if (text.starts_with("total routes shown:")) {
      kind = LineKind::kHeader;
    } else if (text.starts_with("flags:") ||
               (inLegend && text.find(':') != std::string_view::npos &&
                text.find(", ") != std::string_view::npos)) {
      kind = LineKind::kLegend;
    } else {
      kind = ClassifyOtherLine(line, false);
    }
    if (kind != LineKind::kRoute && kind != LineKind::kPager) {
      builder.Finish();
    }
    inLegend = kind == LineKind::kLegend;
    account.Count(kind, line);
  });
  builder.Finish();
}

std::span<const std::string_view> PanosReader::Marks() const {
  return kMarks;
}

bool PanosReader::IsOwnRouteLine(std::string_view line) const {
  const std::optional<Row> row = ReadRow(line, kNoColumn);
  return row && (row->flags[0] == 'A' || row->flags[0] == '?');
}

}  // namespace kestrelon::tables
