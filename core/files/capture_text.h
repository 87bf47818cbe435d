// The text of a capture as the sort reads it: a UTF-8 byte order mark at the start is dropped,
// and a UTF-16 file (little or big endian, with its mark, as Windows tools write it) is turned
// into UTF-8. Any other bytes are taken as they are.
#pragma once

#include <cstdint>
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

// Watches the bytes of a capture as they arrive, to refuse one that is not text as soon as it
// shows: a NUL byte, which no capture of text holds (a UTF-16 capture, known by its byte order
// mark, holds them and is let through).
class TextCheck {
 public:
  // name: the input as the user gave it, for the message.
  explicit TextCheck(std::string name) : name_(std::move(name)) {}
  // The next bytes; throws FileError("read", name, 0, "not text: ...") at a NUL byte.
  void Take(std::string_view bytes);

 private:
  std::string name_;
  std::uint64_t seen_ = 0;
  std::string start_;  // the first two bytes, which may hold a UTF-16 mark
  bool utf16_ = false;
};

// UTF-16 code units to UTF-8. A lone surrogate or a last odd byte becomes U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

}  // namespace kestrelon::files
