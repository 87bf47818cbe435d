// Fields of a text line: blanks (a space or a tab) trimmed from their ends, and a field read as
// a whole number. Inline, as the route readers call them for every field of every line.
#pragma once

#include <charconv>
#include <optional>
#include <string_view>
#include <system_error>

namespace kestrelon::files {

inline bool IsBlankChar(char c) {
  return c == ' ' || c == '\t';
}

// By hand: find_first_not_of with a set of two searches the set for every character.
inline std::string_view TrimLeadingBlanks(std::string_view text) {
  std::size_t first = 0;
  while (first < text.size() && IsBlankChar(text[first])) {
    ++first;
  }
  return text.substr(first);
}

inline std::string_view TrimBlanks(std::string_view text) {
  text = TrimLeadingBlanks(text);
  std::size_t last = text.size();
  while (last > 0 && IsBlankChar(text[last - 1])) {
    --last;
  }
  return text.substr(0, last);
}

// The whole of digits as a number of type Number; none when it is empty, holds anything else,
// or does not fit.
template <typename Number>
std::optional<Number> ReadNumber(std::string_view digits) {
  Number value{};
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value);
  if (digits.empty() || error != std::errc() || stop != end) {
    return std::nullopt;
  }
  return value;
}

}  // namespace kestrelon::files
