#include "platform/linux/base/locale_table.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>

#include "platform/linux/linux_system_info.h"

namespace proclens::linux_port {
namespace {

struct LocaleCase {
  const char* locale;
  std::uint16_t lang_id;
  const char* language;  // nullptr: not in the table
  const char* country;
};

class LocaleTableTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LocaleTableTest, MapsLocaleNameToLanguageIdentifierAndNames) {
  const LocaleCase& c = GetParam();
  EXPECT_EQ(LangIdFromLocale(c.locale), c.lang_id);
  const LocaleEntry* entry = FindLocale(c.locale);
  if (c.language == nullptr) {
    EXPECT_EQ(entry, nullptr);
    return;
  }
  ASSERT_NE(entry, nullptr);
  EXPECT_STREQ(entry->language_name, c.language);
  EXPECT_STREQ(entry->country_name, c.country);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, LocaleTableTest,
    ::testing::Values(
        LocaleCase{"de_DE.UTF-8", 0x0407, "German", "Germany"},
        LocaleCase{"de_AT", 0x0C07, "German", "Austria"},
        LocaleCase{"de_CH.utf8", 0x0807, "German", "Switzerland"},
        LocaleCase{"de_DE@euro", 0x0407, "German", "Germany"},
        LocaleCase{"de", 0x0407, "German", "Germany"},
        LocaleCase{"de_BE.UTF-8", 0x0407, "German", "Germany"},
        LocaleCase{"en_US.UTF-8", 0x0409, "English", "United States"},
        LocaleCase{"en_GB", 0x0809, "English", "United Kingdom"},
        LocaleCase{"en", 0x0409, "English", "United States"},
        LocaleCase{"fr_CA.UTF-8", 0x0C0C, "French", "Canada"},
        LocaleCase{"fr", 0x040C, "French", "France"},
        LocaleCase{"es_ES.UTF-8", 0x0C0A, "Spanish", "Spain"},
        LocaleCase{"es_MX", 0x080A, "Spanish", "Mexico"},
        LocaleCase{"pt_BR.UTF-8", 0x0416, "Portuguese", "Brazil"},
        LocaleCase{"pt_PT", 0x0816, "Portuguese", "Portugal"},
        LocaleCase{"zh_TW.UTF-8", 0x0404, "Chinese", "Taiwan"},
        LocaleCase{"zh", 0x0804, "Chinese", "China"},
        LocaleCase{"ja_JP.eucJP", 0x0411, "Japanese", "Japan"},
        LocaleCase{"nb_NO.UTF-8", 0x0414, "Norwegian", "Norway"},
        LocaleCase{"sv_FI", 0x081D, "Swedish", "Finland"},
        LocaleCase{"tr_TR.UTF-8", 0x041F, "Turkish", "Turkey"},
        LocaleCase{"el_GR.UTF-8", 0x0408, "Greek", "Greece"},
        LocaleCase{"DE_de.UTF-8", 0x0407, "German", "Germany"},
        LocaleCase{"C", 0x0409, nullptr, nullptr},
        LocaleCase{"C.UTF-8", 0x0409, nullptr, nullptr},
        LocaleCase{"POSIX", 0x0409, nullptr, nullptr},
        LocaleCase{"", 0x0409, nullptr, nullptr},
        LocaleCase{"xx_YY.UTF-8", 0x0409, nullptr, nullptr}));

TEST(LocaleTableTest, EveryLanguageIdentifierLeadsBackToItsNames) {
  const LocaleEntry* austria = FindLocaleByLangId(0x0C07);
  ASSERT_NE(austria, nullptr);
  EXPECT_STREQ(austria->country_name, "Austria");
  EXPECT_EQ(FindLocaleByLangId(0x7777), nullptr);
}

// Sets or clears one variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = ::getenv(name)) old_ = old;
    if (value != nullptr) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(LinuxSystemInfoTest, LanguageComesFromTheFirstNonEmptyLocaleVariable) {
  LinuxSystemInfo info;
  {
    ScopedEnv all("LC_ALL", "de_AT.UTF-8"), messages("LC_MESSAGES", "fr_FR"), lang("LANG", "en_GB");
    EXPECT_EQ(info.UserDefaultLangId(), 0x0C07);
  }
  {
    ScopedEnv all("LC_ALL", ""), messages("LC_MESSAGES", "fr_FR"), lang("LANG", "de_DE");
    EXPECT_EQ(info.UserDefaultLangId(), 0x040C);
  }
  {
    ScopedEnv all("LC_ALL", nullptr), messages("LC_MESSAGES", nullptr), lang("LANG", "de_DE");
    EXPECT_EQ(info.UserDefaultLangId(), 0x0407);
    EXPECT_TRUE(GermanChosen(info));
  }
  {
    ScopedEnv all("LC_ALL", nullptr), messages("LC_MESSAGES", nullptr), lang("LANG", nullptr);
    EXPECT_EQ(info.UserDefaultLangId(), 0x0409);
    EXPECT_FALSE(GermanChosen(info));
  }
}

TEST(LinuxSystemInfoTest, UpperCaseFoldsAsciiLettersOnly) {
  LinuxSystemInfo info;
  EXPECT_EQ(info.UpperCase("/usr/bin/gr\xC3\xBC\xC3\x9F" "e-1.exe"),
            "/USR/BIN/GR\xC3\xBC\xC3\x9F" "E-1.EXE");
}

}  // namespace
}  // namespace proclens::linux_port
