// The settings services: single values of the profile (INI) file, and the file probe.
#pragma once

#include <string>
#include <string_view>

namespace kestrelon::settings {

// The value of key in [section] of file; empty when the file, section or key is missing.
// Trailing blanks are trimmed, a pair of surrounding double quotes is stripped (as Windows
// does), and the value is cut to at most 254 bytes, at a character boundary.
std::string ReadIni(const std::string& file, const std::string& section, const std::string& key);

// Replaces (or adds) key=value in [section] of file, creating file and section when missing.
// Every other line is kept byte for byte. The file is written only when the stored value differs,
// never when it exists but cannot be read, and then replaced atomically. A failure is silent.
void WriteIni(const std::string& file, const std::string& section, const std::string& key,
              const std::string& value);

// True when file can be read or does not exist; false when it exists but cannot be read (a run
// that could not read its settings must not write them).
bool ProfileReadable(const std::string& file);

// The part of text before its first NUL; all of it when it holds none.
std::string CutAtNul(std::string_view text);

// False when the path or a folder on it is missing, or it names a folder; true otherwise,
// also when the file exists but cannot be read.
bool FileExists(const std::string& path);

// A check-box state from a stored setting: the leading number of text (blanks or tabs, a sign,
// digits with an optional fraction), rounded half to even, 0 when there is none.
long long ReadCheckState(std::string_view text);

}  // namespace kestrelon::settings
