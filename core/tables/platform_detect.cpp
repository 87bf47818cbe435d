#include "tables/platform_detect.h"

#include <algorithm>
#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "files/file_error.h"
#include "tables/capture_lines.h"

namespace kestrelon::tables {
namespace {

// Texts that only one platform prints: in its legend, its table headers, its prompt.
struct Mark {
  std::string_view text;
  Platform platform;
};
constexpr std::array<Mark, 15> kMarks = {{
    {"IP Route Table for VRF \"", Platform::kNxos},
    {"IPv6 Routing Table for VRF \"", Platform::kNxos},
    {", ubest/mbest: ", Platform::kNxos},
    {"(!) - FRR Backup path", Platform::kIosXr},
    {"(>) - Diversion path", Platform::kIosXr},
    {"G  - DAGR", Platform::kIosXr},
    {"RP/0/RSP0/CPU0:", Platform::kIosXr},
    {"B I - iBGP, B E - eBGP", Platform::kEos},
    {"NG - Nexthop Group Static Route", Platform::kEos},
    {"A B - BGP Aggregate", Platform::kEos},
    {"VRF name: ", Platform::kEos},
    {"P - periodic downloaded static route, + - replicated route", Platform::kAsa},
    {"SI - Static InterVRF", Platform::kAsa},
    {"BI - BGP InterVRF", Platform::kAsa},
    {"E2 - OSPF external type 2, V - VPN", Platform::kAsa},
}};

// Texts of IOS and of the platforms that print like it: a capture with one of them and no
// mark of another platform is read as IOS.
constexpr std::array<std::string_view, 6> kIosLike = {
    "Gateway of last resort", "Routing Table: ", "IPv6 Routing Table - ",
    "is subnetted,",          "Codes: ",         "is variably subnetted,"};

// NX-OS's table header, IPv4 and IPv6.
constexpr std::string_view kNxosHeader = "Table for VRF \"";
// How many lines of a table its marks stand in: the legend, the header.
constexpr std::size_t kTableLinesLooked = 40;

// How many route lines tell a capture's layout when no mark does: a large table need not be
// read to its end, but the routes may start anywhere (after a configuration, say).
constexpr int kRouteLinesLooked = 2000;

struct Layout {
  int ios = 0;     // code in column 1, then a prefix
  int eos = 0;     // one blank, a code, a prefix
  int dotted = 0;  // code, destination, dotted mask
  bool subnetted = false;
  bool iosLike = false;
};

void Look(std::string_view line, Layout& layout) {
  for (const std::string_view text : kIosLike) {
    if (line.find(text) != std::string_view::npos) {
      layout.iosLike = true;
      layout.subnetted = layout.subnetted || text.ends_with("subnetted,");
    }
  }
  if (line.empty() || line[0] == '\t') {
    return;
  }
  const std::size_t indent = line.find_first_not_of(' ');
  if (indent > 2) {
    return;
  }
  if (ReadRouteHead(line)) {
    (indent == 0 ? layout.ios : layout.eos) += 1;
    return;
  }
  if (indent == 0) {
    // "S*  0.0.0.0 0.0.0.0 [1/0] via …": a short code, then an address or name, then a mask.
    std::size_t at = 0;
    std::string_view words[4];
    for (std::string_view& word : words) {
      at = line.find_first_not_of(' ', at);
      if (at == std::string_view::npos) {
        return;
      }
      const std::size_t end = std::min(line.find(' ', at), line.size());
      word = line.substr(at, end - at);
      at = end;
    }
    for (int i = 2; i < 4; ++i) {
      if (IsDottedMask(words[i]) && words[0].size() <= 4) {
        layout.dotted += 1;
        return;
      }
    }
    // "O E2     10.1.1.0 [110/20] via …": an entry under a classful header, without a length.
    for (int i = 1; i < 3; ++i) {
      if (words[0].size() <= 4 && IsIpv4Address(words[i]) &&
          (words[i + 1].starts_with('[') || words[i + 1] == "is")) {
        layout.ios += 1;
        return;
      }
    }
  }
}

// What a platform beyond the Cisco family found in a capture: its marks, its route lines.
struct Evidence {
  Platform platform;
  std::unique_ptr<TableReader> reader;
  std::vector<std::string_view> marks;  // each found, once
  int routeLines = 0;
};

std::string Quoted(const std::vector<std::string_view>& marks) {
  std::string text;
  for (const std::string_view mark : marks) {
    text += (text.empty() ? "'" : ", '") + std::string(mark) + "'";
  }
  return text;
}

// The platforms of best with as much as it: none, or all of them, best first.
template <typename Score>
std::vector<Platform> Tied(const std::vector<Evidence>& found, const Evidence& best, Score score) {
  std::vector<Platform> tied;
  for (const Evidence& e : found) {
    if (&e != &best && score(e) == score(best)) {
      tied.push_back(e.platform);
    }
  }
  if (!tied.empty()) {
    tied.insert(tied.begin(), best.platform);
  }
  return tied;
}

}  // namespace

std::optional<Placement> PlaceCapture(std::string_view capture) {
  Layout layout;
  std::vector<Evidence> found;  // the Cisco family's marks, then each further platform's
  for (const Platform platform : AllPlatforms()) {
    found.push_back({platform, platform > Platform::kAsa ? MakeReader(platform) : nullptr, {}, 0});
  }
  const auto note = [](Evidence& e, std::string_view mark) {
    if (std::find(e.marks.begin(), e.marks.end(), mark) == e.marks.end()) {
      e.marks.push_back(mark);
    }
  };
  int otherRouteLines = 0;
  files::LineCursor cursor(capture);
  std::string repaired;
  while (!cursor.AtEnd() &&
         layout.ios + layout.eos + layout.dotted + otherRouteLines < kRouteLinesLooked) {
    std::string_view line = cursor.Next();
    if (line.find('\b') != std::string_view::npos) {
      repaired = routes::ApplyBackspaces(line);
      line = repaired;
    }
    for (const Mark& mark : kMarks) {
      if (line.find(mark.text) != std::string_view::npos) {
        note(found[static_cast<std::size_t>(mark.platform)], mark.text);
      }
    }
    bool own = false;
    for (Evidence& e : found) {
      if (!e.reader) {
        continue;
      }
      for (const std::string_view mark : e.reader->Marks()) {
        if (line.find(mark) != std::string_view::npos) {
          note(e, mark);
        }
      }
      if (e.reader->IsOwnRouteLine(line)) {
        ++e.routeLines;
        ++otherRouteLines;
        own = true;
      }
    }
    // A line in a shape only one platform prints is none of the Cisco family's, though its
    // head may read like one ("0 ADS 0.0.0.0/0 …" of RouterOS).
    if (!own) {
      Look(line, layout);
    }
  }

  // Marks first: the platform with the most of them.
  const auto marksOf = [](const Evidence& e) { return e.marks.size(); };
  const auto byMarks = std::max_element(found.begin(), found.end(),
                                        [&](auto& a, auto& b) { return marksOf(a) < marksOf(b); });
  if (marksOf(*byMarks) > 0) {
    return Placement{byMarks->platform,
                     (byMarks->marks.size() == 1 ? "mark " : "marks ") + Quoted(byMarks->marks),
                     Tied(found, *byMarks, marksOf)};
  }

  // Then the route lines' shapes: those only one platform prints, against the Cisco family's.
  const auto byShape = [&](Platform platform, int lines, std::string_view shape) {
    return Placement{
        platform, "route lines: " + std::to_string(lines) + " " + std::string(shape), {}};
  };
  const auto linesOf = [](const Evidence& e) { return e.routeLines; };
  const auto byLines = std::max_element(found.begin(), found.end(),
                                        [&](auto& a, auto& b) { return linesOf(a) < linesOf(b); });
  const int cisco = layout.ios + layout.eos + layout.dotted;
  if (byLines->routeLines > 0 && byLines->routeLines >= cisco) {
    Placement placement =
        byShape(byLines->platform, byLines->routeLines, "in this platform's own shape");
    placement.tied = Tied(found, *byLines, linesOf);
    if (byLines->routeLines == cisco && placement.tied.empty()) {
      placement.tied = {byLines->platform, Platform::kIos};
    }
    return placement;
  }
  if (layout.eos > layout.ios && layout.eos > layout.dotted) {
    return byShape(Platform::kEos, layout.eos, "indented by one blank");
  }
  // Firewalls print dotted masks and never a classful header; IOS prints headers.
  if (layout.dotted > layout.ios && !layout.subnetted) {
    return byShape(Platform::kAsa, layout.dotted, "with dotted masks");
  }
  if (layout.ios > 0 || layout.dotted > 0) {
    return byShape(Platform::kIos, layout.ios + layout.dotted, "with the code in column 1");
  }
  if (layout.iosLike) {
    return Placement{Platform::kIos, "headings of IOS", {}};
  }
  return std::nullopt;
}

std::optional<SecondPlatform> FindSecondPlatform(std::string_view capture,
                                                 const std::vector<std::size_t>* tableMarks) {
  // Where tables begin: at their legends and at NX-OS's headers. The header is found by its
  // quote, which few captures hold elsewhere ("Table for VRF" by its "T", of many interface
  // names, costs more).
  std::vector<std::size_t> starts;
  const auto lineStart = [&](std::size_t at) {
    while (at > 0 && capture[at - 1] != '\n' && capture[at - 1] != '\r') {
      --at;
    }
    return at;
  };
  const auto look = [&](std::size_t at) {
    if (capture[at] == '"' ? capture.substr(0, at + 1).ends_with(kNxosHeader)
                           : capture.substr(at).starts_with("Codes:")) {
      starts.push_back(lineStart(at));
    }
  };
  if (tableMarks != nullptr) {
    std::for_each(tableMarks->begin(), tableMarks->end(), look);
  } else {
    for (std::size_t at = capture.find("Codes:"); at != std::string_view::npos;
         at = capture.find("Codes:", at + 1)) {
      look(at);
    }
    for (std::size_t at = capture.find('"'); at != std::string_view::npos;
         at = capture.find('"', at + 1)) {
      look(at);
    }
  }
  if (starts.size() < 2) {
    return std::nullopt;
  }
  std::sort(starts.begin(), starts.end());
  // Each table's platform by the marks of its first lines; nullopt for a legend of none. A
  // legend the same as the one before (IOS-XR's, once per VRF) is not looked at again.
  std::optional<Platform> first;
  bool unmarked = false;  // a legend without a mark was seen
  std::string_view lastLegend;
  std::optional<Platform> lastPlatform;
  for (std::size_t k = 0; k < starts.size(); ++k) {
    const std::size_t next = k + 1 < starts.size() ? starts[k + 1] : capture.size();
    std::string_view table = capture.substr(starts[k], next - starts[k]);
    const std::size_t legendEnd = table.find("\n\n");
    const std::string_view legend = table.substr(0, legendEnd);
    std::optional<Platform> platform;
    if (!lastLegend.empty() && legend == lastLegend) {
      platform = lastPlatform;
    } else {
      files::LineCursor cursor(table);
      for (std::size_t lines = 0; lines < kTableLinesLooked && !cursor.AtEnd() && !platform;
           ++lines) {
        const std::string_view line = cursor.Next();
        for (const Mark& mark : kMarks) {
          if (line.find(mark.text) != std::string_view::npos) {
            platform = mark.platform;
          }
        }
      }
    }
    lastLegend = legend;
    lastPlatform = platform;
    // NX-OS prints no legend: a legend with no mark is of another platform than NX-OS.
    const bool conflict =
        platform ? (first && *platform != *first) || (unmarked && *platform == Platform::kNxos)
                 : first == Platform::kNxos;
    if (conflict) {
      std::size_t line = 1;
      for (files::LineCursor cursor(capture.substr(0, starts[k])); !cursor.AtEnd(); cursor.Next()) {
        ++line;
      }
      return SecondPlatform{first.value_or(Platform::kIos), platform.value_or(Platform::kIos),
                            line};
    }
    if (platform && !first) {
      first = platform;
    }
    unmarked = unmarked || !platform;
  }
  return std::nullopt;
}

std::optional<Platform> DetectPlatform(std::string_view capture) {
  if (const std::optional<Placement> placement = PlaceCapture(capture)) {
    return placement->platform;
  }
  return std::nullopt;
}

Placement ChoosePlacement(std::string_view capture, const std::string& source,
                          std::optional<Platform> given) {
  if (given) {
    return Placement{*given, "given", {}};
  }
  if (std::optional<Placement> placement = PlaceCapture(capture)) {
    if (!placement->tied.empty()) {
      std::string names;
      for (const Platform platform : placement->tied) {
        names += (names.empty() ? "" : " and ") + std::string(PlatformName(platform));
      }
      throw FileError("read a routing table from", source, 0,
                      "it fits " + names + " equally (" + placement->decidedBy +
                          "); name its platform with --platform");
    }
    return std::move(*placement);
  }
  std::string names;
  for (const Platform platform : AllPlatforms()) {
    names += (names.empty() ? "" : ", ") + std::string(PlatformName(platform));
  }
  throw FileError("read a routing table from", source, 0,
                  "no route table of a known platform (" + names +
                      ") in it; name its platform with --platform");
}

void ReadCapture(std::string_view capture, const std::string& source, std::optional<Platform> given,
                 RouteSink& sink, ReadingReport& report) {
  Placement placement = ChoosePlacement(capture, source, given);
  report.platform = placement.platform;
  report.decidedBy = std::move(placement.decidedBy);
  MakeReader(report.platform)->Read(capture, sink, report.lines);
}

Platform ChoosePlatform(std::string_view capture, const std::string& source,
                        std::optional<Platform> given) {
  return ChoosePlacement(capture, source, given).platform;
}

void CheckRoutesFound(std::string_view capture, const std::string& source, Platform platform,
                      std::size_t routes) {
  if (routes == 0 && DetectPlatform(capture) != platform) {
    throw FileError("read a routing table from", source, 0,
                    "no " + std::string(PlatformName(platform)) + " route in it");
  }
}

}  // namespace kestrelon::tables
