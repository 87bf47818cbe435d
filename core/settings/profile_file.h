// The profile-file layer: what kernel32's private profile functions do for WinSys, on plain
// bytes. The text functions are pure; the two file functions do the I/O.
//
// The format, as read:
// - Lines end with CR LF, CR or LF; a final line needs no line end.
// - A section header is "[name]" after optional blanks; the name is what lies between "[" and
//   the first "]", blanks trimmed. Text after the "]" is ignored.
// - A key line is "name=value" in a section; blanks before the name and around "=" are ignored.
// - Lines whose first non-blank character is ";" or "#" are comments; they never match.
// - Section and key names match without regard to ASCII case; the first match counts.
// - A UTF-8 byte order mark at the start of a line is ignored.
// "Blank" means a space or a tab.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kestrelon::settings {

// The value of key in [section] of text, trailing blanks trimmed; nullopt when the section or
// the key is missing.
std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key);

// text with key set to value in [section]. An existing key line keeps everything up to its
// value and its own line end; a missing key is added after the last non-blank line of its
// section; a missing section is added at the end. Every other line is kept byte for byte, line
// end included. An added line ends as the file's first line does (CR LF in an empty file).
std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value);

// The longest start of text of at most maxBytes bytes that ends on a UTF-8 character boundary;
// a byte that does not start a valid UTF-8 sequence counts as one character.
std::string_view CutAtCharBoundary(std::string_view text, std::size_t maxBytes);

// Reads the whole regular file at path into text. True when read, and also when the file (or a
// folder on its path) does not exist, with text empty; false when it exists but cannot be read
// or is not a regular file.
bool LoadTextFile(const std::string& path, std::string& text);

// Replaces the file at path by text atomically: a temporary file in the same folder (with the
// old file's permissions) is written and renamed over path. False, with nothing changed, on any
// failure.
bool ReplaceFileAtomically(const std::string& path, std::string_view text);

}  // namespace kestrelon::settings
