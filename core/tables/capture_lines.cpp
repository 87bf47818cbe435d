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

std::string_view TrimLeadingBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view TrimBlanks(std::string_view text) {
  text = TrimLeadingBlanks(text);
  const std::size_t last = text.find_last_not_of(" \t");
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t") == std::string_view::npos;
}

std::optional<RouteHead> ReadRouteHead(std::string_view line) {
  const std::string_view text = TrimLeadingBlanks(line);
  std::size_t at = 0;
  for (int words = 0; words <= 3; ++words) {
    const std::size_t end = std::min(text.find_first_of(" \t", at), text.size());
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
    at = text.find_first_not_of(" \t", end);
    if (at == std::string_view::npos) {
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
