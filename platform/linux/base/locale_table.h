#pragma once
// POSIX locale names (language_TERRITORY.codeset@modifier) and the Windows
// language identifiers and English names that stand for them.

#include <cstdint>
#include <string_view>

namespace proclens::linux_port {

struct LocaleEntry {
  std::uint16_t lang_id;       // primary language in the low 10 bits, sublanguage above
  const char* language_name;   // in English, e.g. "German"
  const char* country_name;    // in English, e.g. "Germany"
};

inline constexpr std::uint16_t kUsEnglishLangId = 0x0409;

// The entry of a locale name such as "de_AT.UTF-8". A language without a
// territory, or with one the table does not know, gets its language's usual
// country. nullptr for "C", "POSIX" and unknown languages.
const LocaleEntry* FindLocale(std::string_view posix_locale);

// The entry of a language identifier; nullptr when the table has none.
const LocaleEntry* FindLocaleByLangId(std::uint16_t lang_id);

// The language identifier of a locale name; US English when it is unknown.
std::uint16_t LangIdFromLocale(std::string_view posix_locale);

}  // namespace proclens::linux_port
