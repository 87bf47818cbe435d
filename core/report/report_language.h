// The language of a report's labels for people (HTML): Japanese when the locale says so,
// else English. Texts from captures are never translated.
#pragma once

#include <optional>
#include <string_view>

namespace kestrelon::report {

enum class Language { kEnglish, kJapanese };

// The first of LC_ALL, LC_MESSAGES and LANG that is set and not empty: Japanese when it starts
// with "ja", else (or with none) English.
Language LanguageFromEnvironment();

// "en" or "ja"; none for anything else.
std::optional<Language> LanguageFromName(std::string_view name);

}  // namespace kestrelon::report
