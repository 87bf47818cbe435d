// Output names derived from an input name: Qt-free, shared by the window and tests.
#pragma once

#include <string>
#include <string_view>

namespace kestrelon::names {

// The input name without the extension of its last path component. Both "\" and "/" separate
// path components; the extension is what follows the last "." of that component.
// "C:\logs\r1.log" -> "C:\logs\r1", "C:\old.logs\r1" -> "C:\old.logs\r1", "r1." -> "r1".
std::string StripExtension(std::string_view name);

// An extension as stored: the box's text with a "." put in front unless it starts with one.
std::string NormalizeExtension(std::string_view boxText);

}  // namespace kestrelon::names
