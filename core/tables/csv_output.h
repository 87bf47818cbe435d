// CSV (RFC 4180) written field by field to a ByteSink through a buffer: every text quoted by
// libcsv, numbers bare, and an absent value as an empty field, so "" and nothing stay apart.
// Rows end with CR LF. A text that a spreadsheet would run as a formula gets a leading "'",
// and control characters are written as "\x1b" (tables/visible_text.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tables/byte_sink.h"
#include "tables/route_record.h"

namespace kestrelon::tables {

class CsvOutput {
 public:
  explicit CsvOutput(ByteSink& out) : out_(out) {}

  void Text(std::string_view text);
  // A text, or an empty field.
  void Optional(const OptionalText& text);
  void Number(std::uint64_t value);
  // An empty field: a value that is absent.
  void Null();
  void EndRow();
  // Passes the buffered rows on.
  void Flush();

 private:
  void Separate();
  void Quoted(std::string_view text);

  ByteSink& out_;
  std::string buffer_;
  bool first_ = true;  // no separator before the row's first field
};

}  // namespace kestrelon::tables
