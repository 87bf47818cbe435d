// Character positions in byte strings: lines are UTF-8, and a byte that does not start a valid
// UTF-8 sequence counts as one character of its own. All-ASCII text takes the fast path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kestrelon::files {

// True when no byte has its high bit set.
bool IsAscii(std::string_view text);

// Byte length of the character that starts at byte i (1 for ASCII and for an invalid byte).
std::size_t CharLength(std::string_view text, std::size_t i);

// The character at byte i: its code point, or 0xDC00 + byte for an invalid byte (so the low
// seven bits are the byte's own). Sets length to the character's byte length.
std::uint32_t DecodeChar(std::string_view text, std::size_t i, std::size_t& length);

// Byte offset of the character at 1-based position pos; text.size() when the text is shorter.
std::size_t ByteOfChar(std::string_view text, std::size_t pos);

// 1-based character position of the character that starts at byte offset.
std::size_t CharOfByte(std::string_view text, std::size_t offset);

// 1-based character position of the first occurrence of the ASCII character c, 0 when absent.
std::size_t CharPosOf(std::string_view text, char c);

}  // namespace kestrelon::files
