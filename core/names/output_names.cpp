#include "names/output_names.h"

namespace kestrelon::names {

std::string StripExtension(std::string_view name) {
  std::size_t separator = name.find_last_of("\\/");
  std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || (separator != std::string_view::npos && dot < separator)) {
    return std::string(name);  // no "." in the last path component
  }
  return std::string(name.substr(0, dot));
}

std::string NormalizeExtension(std::string_view boxText) {
  if (boxText.starts_with('.'))
    return std::string(boxText);
  return "." + std::string(boxText);
}

}  // namespace kestrelon::names
