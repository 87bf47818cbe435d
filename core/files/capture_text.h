// The text of a capture as the sort reads it: a UTF-8 byte order mark at the start is dropped,
// and a UTF-16 file (little or big endian, with its mark, as Windows tools write it) is turned
// into UTF-8. Any other bytes are taken as they are.
#pragma once

#include <string>
#include <string_view>

namespace kestrelon::files {

class CaptureText {
 public:
  // bytes must outlive the object when they need no conversion.
  explicit CaptureText(std::string_view bytes);
  CaptureText(const CaptureText&) = delete;
  CaptureText& operator=(const CaptureText&) = delete;

  std::string_view text() const { return text_; }

 private:
  std::string converted_;
  std::string_view text_;
};

// UTF-16 code units to UTF-8. A lone surrogate or a last odd byte becomes U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

}  // namespace kestrelon::files
