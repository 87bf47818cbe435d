#include "tables/csv_output.h"

#include <csv.h>

#include <charconv>

#include "tables/visible_text.h"

namespace kestrelon::tables {
namespace {

constexpr std::size_t kFlushAt = 1 << 16;

}  // namespace

void CsvOutput::Separate() {
  if (!first_) {
    buffer_.push_back(',');
  }
  first_ = false;
}

void CsvOutput::Text(std::string_view text) {
  if (!IsPlainCsvCell(text)) {
    const std::string safe = CsvCellText(text);
    Quoted(safe);
    return;
  }
  Quoted(text);
}

void CsvOutput::Quoted(std::string_view text) {
  Separate();
  // libcsv quotes the field and doubles its quotes: at most twice the size and two quotes.
  const std::size_t at = buffer_.size();
  buffer_.resize(at + 2 * text.size() + 2);
  // An empty view may have no data at all; libcsv writes nothing for a null source.
  const char* source = text.data() != nullptr ? text.data() : "";
  const std::size_t written =
      csv_write(buffer_.data() + at, buffer_.size() - at, source, text.size());
  buffer_.resize(at + written);
}

void CsvOutput::Optional(const OptionalText& text) {
  if (text) {
    Text(*text);
  } else {
    Null();
  }
}

void CsvOutput::Number(std::uint64_t value) {
  Separate();
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  buffer_.append(digits, end);
}

void CsvOutput::Null() {
  Separate();
}

void CsvOutput::EndRow() {
  buffer_.append("\r\n");
  first_ = true;
  if (buffer_.size() >= kFlushAt) {
    Flush();
  }
}

void CsvOutput::Flush() {
  out_.Write(buffer_);
  buffer_.clear();
}

}  // namespace kestrelon::tables
