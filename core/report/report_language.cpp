#include "report/report_language.h"

#include <cstdlib>

namespace kestrelon::report {

Language LanguageFromEnvironment() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') {
      return std::string_view(value).starts_with("ja") ? Language::kJapanese : Language::kEnglish;
    }
  }
  return Language::kEnglish;
}

std::optional<Language> LanguageFromName(std::string_view name) {
  if (name == "en") {
    return Language::kEnglish;
  }
  if (name == "ja") {
    return Language::kJapanese;
  }
  return std::nullopt;
}

}  // namespace kestrelon::report
