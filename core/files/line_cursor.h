// Reads lines out of a byte buffer. A line ends at CR LF, at CR, or at LF; a last line without
// an end is still a line, and a buffer that ends with a line end has no extra empty line.
#pragma once

#include <cstddef>
#include <string_view>

namespace kestrelon::files {

class LineCursor {
 public:
  explicit LineCursor(std::string_view bytes, std::size_t position = 0)
      : bytes_(bytes), position_(position) {}

  bool AtEnd() const { return position_ >= bytes_.size(); }
  // Byte offset of the next line's first byte.
  std::size_t Position() const { return position_; }
  void Seek(std::size_t position) { position_ = position; }

  // The next line without its end; moves past the end.
  std::string_view Next();
  // Whether the next line starts with prefix, which holds no CR or LF; reads no further.
  bool NextStartsWith(std::string_view prefix) const {
    return position_ <= bytes_.size() && bytes_.substr(position_).starts_with(prefix);
  }
  // The next line without moving.
  std::string_view Peek() const;

 private:
  std::string_view bytes_;
  std::size_t position_;
};

// Offset of the first CR or LF at or after from, or bytes.size().
std::size_t FindLineEnd(std::string_view bytes, std::size_t from);

}  // namespace kestrelon::files
