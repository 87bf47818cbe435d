#include "tables/capture_lines.h"

#include "files/text_fields.h"

namespace kestrelon::tables {
namespace {

bool IsCodeWord(std::string_view word) {
  if (word.empty() || word.size() > 4) {
    return false;
  }
  return IsWordOf(word, "*%+&");
}

}  // namespace

bool IsWordOf(std::string_view word, std::string_view also) {
  for (const char c : word) {
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alnum && also.find(c) == std::string_view::npos) {
      return false;
    }
  }
  return true;
}

bool IsBlank(std::string_view text) {
  return files::TrimLeadingBlanks(text).empty();
}

std::optional<RouteHead> ReadRouteHead(std::string_view line) {
  const std::string_view text = files::TrimLeadingBlanks(line);
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
        head.code = files::TrimBlanks(text.substr(0, at));
        head.prefix = *prefix;
        head.prefixText = word;
        head.rest = text.substr(end);
        return head;
      }
    }
    if (words == 3 || !IsCodeWord(word)) {
      return std::nullopt;
    }
    at = end + (files::TrimLeadingBlanks(text.substr(end)).data() - (text.data() + end));
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
  return files::TrimBlanks(line.substr(prefix.size()));
}

}  // namespace kestrelon::tables
