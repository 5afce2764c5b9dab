#include "platform/linux/base/locale_table.h"

#include <array>
#include <cctype>
#include <string>

namespace proclens::linux_port {
namespace {

struct LocaleRow {
  const char* language;   // ISO 639 code as in POSIX names
  const char* territory;  // ISO 3166 code
  LocaleEntry entry;
};

// The first row of each language is the country that language stands for alone.
constexpr std::array kLocales = {
    LocaleRow{"de", "DE", {0x0407, "German", "Germany"}},
    LocaleRow{"de", "AT", {0x0C07, "German", "Austria"}},
    LocaleRow{"de", "CH", {0x0807, "German", "Switzerland"}},
    LocaleRow{"de", "LU", {0x1007, "German", "Luxembourg"}},
    LocaleRow{"de", "LI", {0x1407, "German", "Liechtenstein"}},
    LocaleRow{"en", "US", {0x0409, "English", "United States"}},
    LocaleRow{"en", "GB", {0x0809, "English", "United Kingdom"}},
    LocaleRow{"en", "AU", {0x0C09, "English", "Australia"}},
    LocaleRow{"en", "CA", {0x1009, "English", "Canada"}},
    LocaleRow{"en", "NZ", {0x1409, "English", "New Zealand"}},
    LocaleRow{"en", "IE", {0x1809, "English", "Ireland"}},
    LocaleRow{"en", "ZA", {0x1C09, "English", "South Africa"}},
    LocaleRow{"en", "IN", {0x4009, "English", "India"}},
    LocaleRow{"fr", "FR", {0x040C, "French", "France"}},
    LocaleRow{"fr", "BE", {0x080C, "French", "Belgium"}},
    LocaleRow{"fr", "CA", {0x0C0C, "French", "Canada"}},
    LocaleRow{"fr", "CH", {0x100C, "French", "Switzerland"}},
    LocaleRow{"fr", "LU", {0x140C, "French", "Luxembourg"}},
    LocaleRow{"es", "ES", {0x0C0A, "Spanish", "Spain"}},
    LocaleRow{"es", "MX", {0x080A, "Spanish", "Mexico"}},
    LocaleRow{"es", "AR", {0x2C0A, "Spanish", "Argentina"}},
    LocaleRow{"es", "CO", {0x240A, "Spanish", "Colombia"}},
    LocaleRow{"es", "CL", {0x340A, "Spanish", "Chile"}},
    LocaleRow{"es", "US", {0x540A, "Spanish", "United States"}},
    LocaleRow{"it", "IT", {0x0410, "Italian", "Italy"}},
    LocaleRow{"it", "CH", {0x0810, "Italian", "Switzerland"}},
    LocaleRow{"nl", "NL", {0x0413, "Dutch", "Netherlands"}},
    LocaleRow{"nl", "BE", {0x0813, "Dutch", "Belgium"}},
    LocaleRow{"pt", "BR", {0x0416, "Portuguese", "Brazil"}},
    LocaleRow{"pt", "PT", {0x0816, "Portuguese", "Portugal"}},
    LocaleRow{"pl", "PL", {0x0415, "Polish", "Poland"}},
    LocaleRow{"ru", "RU", {0x0419, "Russian", "Russia"}},
    LocaleRow{"uk", "UA", {0x0422, "Ukrainian", "Ukraine"}},
    LocaleRow{"ja", "JP", {0x0411, "Japanese", "Japan"}},
    LocaleRow{"zh", "CN", {0x0804, "Chinese", "China"}},
    LocaleRow{"zh", "TW", {0x0404, "Chinese", "Taiwan"}},
    LocaleRow{"zh", "HK", {0x0C04, "Chinese", "Hong Kong SAR"}},
    LocaleRow{"zh", "SG", {0x1004, "Chinese", "Singapore"}},
    LocaleRow{"ko", "KR", {0x0412, "Korean", "Korea"}},
    LocaleRow{"sv", "SE", {0x041D, "Swedish", "Sweden"}},
    LocaleRow{"sv", "FI", {0x081D, "Swedish", "Finland"}},
    LocaleRow{"da", "DK", {0x0406, "Danish", "Denmark"}},
    LocaleRow{"fi", "FI", {0x040B, "Finnish", "Finland"}},
    LocaleRow{"nb", "NO", {0x0414, "Norwegian", "Norway"}},
    LocaleRow{"no", "NO", {0x0414, "Norwegian", "Norway"}},
    LocaleRow{"nn", "NO", {0x0814, "Norwegian", "Norway"}},
    LocaleRow{"is", "IS", {0x040F, "Icelandic", "Iceland"}},
    LocaleRow{"cs", "CZ", {0x0405, "Czech", "Czech Republic"}},
    LocaleRow{"sk", "SK", {0x041B, "Slovak", "Slovakia"}},
    LocaleRow{"sl", "SI", {0x0424, "Slovenian", "Slovenia"}},
    LocaleRow{"hr", "HR", {0x041A, "Croatian", "Croatia"}},
    LocaleRow{"sr", "RS", {0x281A, "Serbian", "Serbia"}},
    LocaleRow{"hu", "HU", {0x040E, "Hungarian", "Hungary"}},
    LocaleRow{"ro", "RO", {0x0418, "Romanian", "Romania"}},
    LocaleRow{"bg", "BG", {0x0402, "Bulgarian", "Bulgaria"}},
    LocaleRow{"el", "GR", {0x0408, "Greek", "Greece"}},
    LocaleRow{"tr", "TR", {0x041F, "Turkish", "Turkey"}},
    LocaleRow{"et", "EE", {0x0425, "Estonian", "Estonia"}},
    LocaleRow{"lv", "LV", {0x0426, "Latvian", "Latvia"}},
    LocaleRow{"lt", "LT", {0x0427, "Lithuanian", "Lithuania"}},
    LocaleRow{"ca", "ES", {0x0403, "Catalan", "Spain"}},
    LocaleRow{"eu", "ES", {0x042D, "Basque", "Spain"}},
    LocaleRow{"gl", "ES", {0x0456, "Galician", "Spain"}},
    LocaleRow{"he", "IL", {0x040D, "Hebrew", "Israel"}},
    LocaleRow{"ar", "SA", {0x0401, "Arabic", "Saudi Arabia"}},
    LocaleRow{"ar", "EG", {0x0C01, "Arabic", "Egypt"}},
    LocaleRow{"fa", "IR", {0x0429, "Persian", "Iran"}},
    LocaleRow{"hi", "IN", {0x0439, "Hindi", "India"}},
    LocaleRow{"th", "TH", {0x041E, "Thai", "Thailand"}},
    LocaleRow{"vi", "VN", {0x042A, "Vietnamese", "Vietnam"}},
    LocaleRow{"id", "ID", {0x0421, "Indonesian", "Indonesia"}},
    LocaleRow{"ms", "MY", {0x043E, "Malay", "Malaysia"}},
};

std::string Folded(std::string_view text, bool upper) {
  std::string folded(text);
  for (char& c : folded) {
    const auto byte = static_cast<unsigned char>(c);
    c = static_cast<char>(upper ? std::toupper(byte) : std::tolower(byte));
  }
  return folded;
}

struct LocaleName {
  std::string language;
  std::string territory;
};

// "de_AT.UTF-8@euro" -> de, AT; the codeset and the modifier do not matter here.
LocaleName SplitLocaleName(std::string_view name) {
  name = name.substr(0, name.find_first_of(".@"));
  const auto underscore = name.find('_');
  LocaleName parts;
  parts.language = Folded(name.substr(0, underscore), false);
  if (underscore != std::string_view::npos) {
    parts.territory = Folded(name.substr(underscore + 1), true);
  }
  return parts;
}

}  // namespace

const LocaleEntry* FindLocale(std::string_view posix_locale) {
  const LocaleName name = SplitLocaleName(posix_locale);
  const LocaleEntry* language_default = nullptr;
  for (const LocaleRow& row : kLocales) {
    if (name.language != row.language) continue;
    if (name.territory == row.territory) return &row.entry;
    if (language_default == nullptr) language_default = &row.entry;
  }
  return language_default;
}

const LocaleEntry* FindLocaleByLangId(std::uint16_t lang_id) {
  for (const LocaleRow& row : kLocales) {
    if (row.entry.lang_id == lang_id) return &row.entry;
  }
  return nullptr;
}

std::uint16_t LangIdFromLocale(std::string_view posix_locale) {
  const LocaleEntry* entry = FindLocale(posix_locale);
  return entry != nullptr ? entry->lang_id : kUsEnglishLangId;
}

}  // namespace proclens::linux_port
