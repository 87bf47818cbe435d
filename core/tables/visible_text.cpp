#include "tables/visible_text.h"

namespace kestrelon::tables {
namespace {

bool IsControl(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F;
}

// The length of the C1 control character at i (its two UTF-8 bytes), else 0.
std::size_t C1At(std::string_view text, std::size_t i) {
  return i + 1 < text.size() && static_cast<unsigned char>(text[i]) == 0xC2 &&
                 static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                 static_cast<unsigned char>(text[i + 1]) <= 0x9F
             ? 2
             : 0;
}

bool NeedsEscape(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsControl(static_cast<unsigned char>(text[i])) || C1At(text, i) != 0) {
      return true;
    }
  }
  return false;
}

void AppendEscaped(std::string& out, unsigned char byte) {
  constexpr char kHex[] = "0123456789abcdef";
  out.append("\\x");
  out.push_back(kHex[byte >> 4]);
  out.push_back(kHex[byte & 0xF]);
}

}  // namespace

std::string VisibleText(std::string_view text) {
  if (!NeedsEscape(text)) {  // nearly every text: one scan, one copy
    return std::string(text);
  }
  std::string out;
  out.reserve(text.size() + 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (IsControl(byte)) {
      AppendEscaped(out, byte);
    } else if (C1At(text, i) != 0) {
      AppendEscaped(out, byte);
      AppendEscaped(out, static_cast<unsigned char>(text[++i]));
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

namespace {

bool LooksLikeFormula(std::string_view text) {
  return !text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos;
}

}  // namespace

std::string CsvCellText(std::string_view text) {
  return LooksLikeFormula(text) ? "'" + VisibleText(text) : VisibleText(text);
}

bool IsPlainCsvCell(std::string_view text) {
  return !LooksLikeFormula(text) && !NeedsEscape(text);
}

}  // namespace kestrelon::tables
