// Line helpers the readers share: the lines of a capture with the terminal's backspaces
// applied, blank lines, and the head of a route line in the IOS manner (a short code, then
// the destination prefix, then the path).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tables/address_text.h"

namespace kestrelon::tables {

bool IsBlank(std::string_view text);

// Whether word holds nothing but ASCII letters, digits and the characters of also (a route
// code "O*E2", a type word "type-2").
bool IsWordOf(std::string_view word, std::string_view also);

// Calls visit(line) for each line of capture (ends CR LF, CR or LF), backspaces applied as the
// staging step applies them. A line is valid during its call.
template <typename Visit>
void ForEachCaptureLine(std::string_view capture, Visit&& visit);

// A route line's head: the code words, then the destination with its length.
struct RouteHead {
  std::string_view code;  // "O E2", "i*L2", "B I"
  PrefixText prefix;
  std::string_view prefixText;  // as printed, "10.1.0.0/16"
  std::string_view rest;        // what follows the destination
};

// Reads "CODE PREFIX REST" after any leading blanks: one to three code words of at most four
// characters each (letters, digits, "*", "%", "+", "&"), then an address with its length.
std::optional<RouteHead> ReadRouteHead(std::string_view line);

// The text after prefix (a text that starts the line, then blanks), or none.
std::optional<std::string_view> AfterPrefix(std::string_view line, std::string_view prefix);

}  // namespace kestrelon::tables

#include "files/line_cursor.h"
#include "routes/staging.h"

namespace kestrelon::tables {

template <typename Visit>
void ForEachCaptureLine(std::string_view capture, Visit&& visit) {
  files::LineCursor cursor(capture);
  std::string repaired;
  while (!cursor.AtEnd()) {
    const std::string_view line = cursor.Next();
    if (line.find('\b') != std::string_view::npos) {
      repaired = routes::ApplyBackspaces(line);
      visit(std::string_view(repaired));
    } else {
      visit(line);
    }
  }
}

}  // namespace kestrelon::tables
