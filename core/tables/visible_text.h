// Texts from a capture made safe for the places they are written to: control characters shown
// as "\x1b" (a terminal must not act on an escape sequence hidden in an interface name), and a
// CSV cell that a spreadsheet would run as a formula made plain text.
#pragma once

#include <string>
#include <string_view>

namespace kestrelon::tables {

// text with each C0 control byte, DEL and each C1 control character (U+0080 to U+009F in
// UTF-8) written as "\xHH" per byte; any other byte as it is.
std::string VisibleText(std::string_view text);

// VisibleText, then a leading "'" when the cell would start with "=", "+", "-", "@", TAB or CR
// (looked at before the escaping, so a TAB is caught too): a spreadsheet then shows the text.
std::string CsvCellText(std::string_view text);
// Whether CsvCellText would give text back unchanged (the common case, without a copy).
bool IsPlainCsvCell(std::string_view text);

}  // namespace kestrelon::tables
