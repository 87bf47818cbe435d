#include "tables/capture_lines.h"

namespace kestrelon::tables {
namespace {

bool IsCodeWord(std::string_view word) {
  if (word.empty() || word.size() > 4) {
    return false;
  }
  for (const char c : word) {
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alnum && c != '*' && c != '%' && c != '+' && c != '&') {
      return false;
    }
  }
  return true;
}

}  // namespace

// By hand: find_first_not_of with a set of two searches the set for every character.
std::string_view TrimLeadingBlanks(std::string_view text) {
  std::size_t first = 0;
  while (first < text.size() && (text[first] == ' ' || text[first] == '\t')) {
    ++first;
  }
  return text.substr(first);
}

std::string_view TrimBlanks(std::string_view text) {
  text = TrimLeadingBlanks(text);
  std::size_t last = text.size();
  while (last > 0 && (text[last - 1] == ' ' || text[last - 1] == '\t')) {
    --last;
  }
  return text.substr(0, last);
}

bool IsBlank(std::string_view text) {
  return TrimLeadingBlanks(text).empty();
}

std::optional<RouteHead> ReadRouteHead(std::string_view line) {
  const std::string_view text = TrimLeadingBlanks(line);
  std::size_t at = 0;
  for (int words = 0; words <= 3; ++words) {
    std::size_t end = at;
    while (end < text.size() && text[end] != ' ' && text[end] != '\t') {
      ++end;
    }
    const std::string_view word = text.substr(at, end - at);
    if (words > 0) {
      if (const std::optional<PrefixText> prefix = ReadPrefix(word)) {
        RouteHead head;
        head.code = TrimBlanks(text.substr(0, at));
        head.prefix = *prefix;
        head.prefixText = word;
        head.rest = text.substr(end);
        return head;
      }
    }
    if (words == 3 || !IsCodeWord(word)) {
      return std::nullopt;
    }
    at = end + (TrimLeadingBlanks(text.substr(end)).data() - (text.data() + end));
    if (at >= text.size()) {
      return std::nullopt;
    }
  }
  return std::nullopt;
}

std::optional<std::string_view> AfterPrefix(std::string_view line, std::string_view prefix) {
  if (!line.starts_with(prefix)) {
    return std::nullopt;
  }
  return TrimBlanks(line.substr(prefix.size()));
}

}  // namespace kestrelon::tables
