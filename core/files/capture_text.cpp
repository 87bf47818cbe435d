#include "files/capture_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "files/file_error.h"

namespace kestrelon::files {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr std::uint32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, std::uint32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size() / 2 + bytes.size() / 8);
  const std::size_t units = bytes.size() / 2;
  const auto unit = [&](std::size_t i) -> std::uint32_t {
    const auto a = static_cast<unsigned char>(bytes[2 * i]);
    const auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
    return bigEndian ? (a << 8) | b : (b << 8) | a;
  };
  for (std::size_t i = 0; i < units; ++i) {
    const std::uint32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
      const std::uint32_t low = unit(i + 1);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, u >= 0xD800 && u <= 0xDFFF ? kReplacement : u);
  }
  if (bytes.size() % 2 != 0) {
    AppendUtf8(out, kReplacement);
  }
  return out;
}

void TextCheck::Take(std::string_view bytes) {
  if (bytes.empty()) {
    return;  // an empty view may carry a null pointer, which memchr must not see
  }
  if (start_.size() < 2) {
    const std::size_t more = std::min<std::size_t>(2 - start_.size(), bytes.size());
    start_.append(bytes.substr(0, more));
    utf16_ = start_ == kUtf16LeMark || start_ == kUtf16BeMark;
  }
  if (!utf16_) {
    if (const void* nul = std::memchr(bytes.data(), '\0', bytes.size()); nul != nullptr) {
      const auto at =
          seen_ + static_cast<std::uint64_t>(static_cast<const char*>(nul) - bytes.data());
      throw FileError("read", name_, 0,
                      "not text: a NUL byte at byte " + std::to_string(at + 1) +
                          ", which no route table holds");
    }
  }
  seen_ += bytes.size();
}

CaptureText::CaptureText(std::string_view bytes) : text_(bytes) {
  if (bytes.starts_with(kUtf8Mark)) {
    text_.remove_prefix(kUtf8Mark.size());
  } else if (bytes.starts_with(kUtf16LeMark) || bytes.starts_with(kUtf16BeMark)) {
    converted_ = Utf16ToUtf8(bytes.substr(2), bytes.starts_with(kUtf16BeMark));
    text_ = converted_;
  }
}

}  // namespace kestrelon::files
