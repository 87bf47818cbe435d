// Fields of a text line: blanks (a space or a tab) trimmed from their ends, and a field read as
// a whole number. Inline, as the route readers call them for every field of every line.
#pragma once

#include <optional>
#include <string_view>
#include <type_traits>

namespace kestrelon::files {

inline bool IsBlankChar(char c) {
  return c == ' ' || c == '\t';
}

// An ASCII letter, whatever the locale.
inline bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
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

// Splits off the first word of text (blanks around it dropped); empty when none is left.
inline std::string_view TakeWord(std::string_view& text) {
  text = TrimLeadingBlanks(text);
  std::size_t end = 0;
  while (end < text.size() && !IsBlankChar(text[end])) {
    ++end;
  }
  const std::string_view word = text.substr(0, end);
  text = TrimLeadingBlanks(text.substr(end));
  return word;
}

// The whole of digits as a number of the unsigned type Number; none when it is empty, holds
// anything but digits, or does not fit. By hand: std::from_chars costs more than the number.
template <typename Number>
std::optional<Number> ReadNumber(std::string_view digits) {
  static_assert(std::is_unsigned_v<Number>);
  if (digits.empty()) {
    return std::nullopt;
  }
  Number value = 0;
  for (const char c : digits) {
    const auto digit = static_cast<unsigned>(c - '0');
    if (digit > 9 || __builtin_mul_overflow(value, Number{10}, &value) ||
        __builtin_add_overflow(value, static_cast<Number>(digit), &value)) {
      return std::nullopt;
    }
  }
  return value;
}

}  // namespace kestrelon::files
