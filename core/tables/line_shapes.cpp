#include "tables/line_shapes.h"

#include <algorithm>
#include <array>

#include "files/text_fields.h"

namespace kestrelon::tables {
namespace {

bool StartsWithAny(std::string_view text, std::initializer_list<std::string_view> starts) {
  for (const std::string_view start : starts) {
    if (text.starts_with(start)) {
      return true;
    }
  }
  return false;
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

bool IsHostChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.' || c == '/' || c == ':' || c == '(' || c == ')' || c == '@' ||
         c == '~';
}

// "O - OSPF, IA - OSPF inter area" or "'*' denotes best ucast next-hop": a list of codes.
bool IsLegendList(std::string_view text) {
  // The code may be padded: "G  - DAGR".
  const std::size_t dash = text.find(" - ");
  const std::string_view code = files::TrimBlanks(text.substr(0, std::min(dash, text.size())));
  if (dash != std::string_view::npos && !code.empty() && code.size() <= 5 &&
      code.find(' ') == std::string_view::npos) {
    return true;
  }
  return (text.starts_with('\'') && Contains(text, "' denotes ")) ||
         text.starts_with("'%<string>'");
}

// "Mon Dec  7 21:47:26.123 UTC", "*Mar  1 00:01:02.345: ...", "Last login: ...".
bool IsTimeStamp(std::string_view text) {
  if (text.starts_with('*')) {
    text.remove_prefix(1);
  }
  constexpr std::array<std::string_view, 7> kDays = {"Mon ", "Tue ", "Wed ", "Thu ",
                                                     "Fri ", "Sat ", "Sun "};
  constexpr std::array<std::string_view, 12> kMonths = {"Jan ", "Feb ", "Mar ", "Apr ",
                                                        "May ", "Jun ", "Jul ", "Aug ",
                                                        "Sep ", "Oct ", "Nov ", "Dec "};
  bool dated = false;
  for (const std::string_view day : kDays) {
    dated = dated || text.starts_with(day);
  }
  for (const std::string_view month : kMonths) {
    dated = dated || text.starts_with(month);
  }
  return dated && Contains(text, ":");
}

// Whether a line that starts with "[" (not "[VRF: ") can be none of the shapes below, in one
// pass: each of them holds " is ", " are " (headings), " - " (a legend) or "+" (a harness's
// banner).
bool IsPlainPath(std::string_view text) {
  for (std::size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '+' || (c == ' ' && i + 1 < text.size() &&
                     (text[i + 1] == 'i' || text[i + 1] == 'a' || text[i + 1] == '-'))) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool IsPromptLine(std::string_view line) {
  const std::string_view text = files::TrimBlanks(line);
  if (StartsWithAny(text, {"show ", "sh ", "terminal ", "term "})) {
    return true;
  }
  // A test harness's banner around the command it ran: "+++ PE1: executing command … +++".
  if (text.starts_with("+++ ") || (text.ends_with(" +++") && Contains(text, "+++ "))) {
    return true;
  }
  std::size_t at = 0;
  while (at < text.size() && IsHostChar(text[at])) {
    ++at;
  }
  if (at == 0 && (text.starts_with('#') || text.starts_with('>')) &&
      files::TrimLeadingBlanks(text.substr(1)).starts_with("sh")) {
    return true;  // a prompt without a host name (Yamaha, Si-R, SEIL), or with it cut off
  }
  return at > 0 && at < text.size() && (text[at] == '#' || text[at] == '>') &&
         (at + 1 == text.size() || text[at + 1] == ' ' ||
          (text[at + 1] >= 'a' && text[at + 1] <= 'z'));
}

LineKind ClassifyOtherLine(std::string_view line, bool inLegend) {
  const std::string_view text = files::TrimBlanks(line);
  if (text.empty()) {
    return LineKind::kBlank;
  }
  if (text[0] == '[' && !text.starts_with("[VRF: ") && IsPlainPath(text)) {
    return LineKind::kNotUnderstood;  // most lines asked about: a path, "[110/20] via …"
  }
  if (text.starts_with("Codes:") || text.starts_with("Codes :") ||
      (inLegend && IsLegendList(text))) {
    return LineKind::kLegend;
  }
  if (StartsWithAny(text, {"--More--", "<--- More --->", "---(more", "-- More --", " --More--"})) {
    return LineKind::kPager;
  }
  if (IsPromptLine(text)) {
    return LineKind::kPrompt;
  }
  if (StartsWithAny(text,
                    {"Gateway of last resort", "Routing Table:", "IPv6 Routing Table",
                     "IP Route Table for VRF", "VRF: ", "VRF name: ", "[VRF: ", "Routing entry for",
                     "Route Distinguisher:", "% ", "WARNING: ", "Warning: "}) ||
      Contains(text, " are marked with '") || Contains(text, " is subnetted, ") ||
      Contains(text, " is variably subnetted, ") || IsTimeStamp(text)) {
    return LineKind::kHeader;
  }
  if (IsLegendList(text)) {
    return LineKind::kLegend;
  }
  return LineKind::kNotUnderstood;
}

}  // namespace kestrelon::tables
