#include "tables/prompt_host.h"

#include "files/text_fields.h"

namespace kestrelon::tables {
namespace {

using files::IsLetter;

bool IsAlnum(char c) {
  return IsLetter(c) || (c >= '0' && c <= '9');
}

bool IsHostChar(char c) {
  return IsAlnum(c) || c == '-' || c == '_' || c == '.';
}

// The length of a word of host characters at the start of text.
std::size_t WordLength(std::string_view text) {
  std::size_t n = 0;
  while (n < text.size() && IsHostChar(text[n])) {
    ++n;
  }
  return n;
}

}  // namespace

std::optional<Prompt> ReadPrompt(std::string_view line) {
  // The prompt is one word, up to its "#" or ">".
  const std::size_t end = line.find_first_of(" \t#>");
  if (end == std::string_view::npos || end == 0 || (line[end] != '#' && line[end] != '>')) {
    return std::nullopt;
  }
  std::string_view word = line.substr(0, end);
  // IOS-XR puts the route processor first ("RP/0/RP0/CPU0:"); Junos the user ("user@").
  if (const std::size_t colon = word.find(':');
      colon != std::string_view::npos &&
      word.substr(0, colon).find('/') != std::string_view::npos) {
    word.remove_prefix(colon + 1);
  } else if (const std::size_t at = word.find('@'); at != std::string_view::npos) {
    word.remove_prefix(at + 1);
  }
  const std::size_t hostLength = WordLength(word);
  const std::string_view host = word.substr(0, hostLength);
  if (host.empty() || !IsAlnum(host[0]) || host.size() > 63) {
    return std::nullopt;
  }
  bool letter = false;
  for (const char c : host) {
    letter = letter || IsLetter(c);
  }
  // What may follow the host: a configuration mode ("(config-if)"), and the failover unit and
  // context of a firewall ("/pri/act").
  std::string_view rest = word.substr(hostLength);
  if (rest.starts_with('(')) {
    const std::size_t close = rest.find(')');
    if (close == std::string_view::npos ||
        rest.substr(1, close - 1).find('(') != std::string_view::npos) {
      return std::nullopt;
    }
    rest.remove_prefix(close + 1);
  }
  while (rest.starts_with('/') && WordLength(rest.substr(1)) > 0) {
    rest.remove_prefix(1 + WordLength(rest.substr(1)));
  }
  // After the "#" or ">": nothing, a blank, or the command ("R1#show ip route"); a route code
  // such as FRR's "B>*" is no prompt.
  const std::string_view after = line.substr(end + 1);
  if (!letter || !rest.empty() ||
      (!after.empty() && !files::IsBlankChar(after[0]) && !IsAlnum(after[0]))) {
    return std::nullopt;
  }
  return Prompt{host, files::TrimBlanks(after)};
}

}  // namespace kestrelon::tables
