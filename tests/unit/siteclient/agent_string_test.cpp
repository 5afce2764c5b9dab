#include "siteclient/agent_string.h"

#include <gtest/gtest.h>

#include "unit/siteclient/site_fakes.h"

namespace proclens {
namespace {

using site_fakes::FakeSiteSystem;

class AgentStringTest : public ::testing::Test {
 protected:
  AgentStringTest() {
    system.locale_names = {{kLocaleEnglishLanguageName, "English"},
                           {kLocaleEnglishCountryName, "United States"}};
  }
  FakeSiteSystem system;
};

TEST_F(AgentStringTest, NtFamilyHasTwoBlanksBeforeItsName) {
  EXPECT_EQ(ComposeAgentString(system, system),
            "viewer.exe/1 (Windows  NT 5.1, 0409 English/United States)");
}

TEST_F(AgentStringTest, PlatformTextFollowsThePlatformIdentifier) {
  system.version = {OsFamily::Windows, kPlatformWin32Windows, 4, 10};
  EXPECT_EQ(ComposeAgentString(system, system),
            "viewer.exe/1 (Windows  9x 4.10, 0409 English/United States)");
  system.version = {OsFamily::Windows, 0, 0, 0};  // the version query failed
  EXPECT_EQ(ComposeAgentString(system, system),
            "viewer.exe/1 (Windows ? 0.0, 0409 English/United States)");
  system.version = {OsFamily::Windows, 3, 6, 2};
  EXPECT_EQ(SystemPiece(system.version), " (Windows ?");
}

TEST_F(AgentStringTest, LinuxNamesItselfAndItsKernelVersion) {
  system.version = {OsFamily::Linux, 0, 6, 1};
  system.program_path = "/usr/local/bin/proclens";
  EXPECT_EQ(ComposeAgentString(system, system), "proclens/1 (Linux 6.1, 0409 English/United States)");
}

TEST_F(AgentStringTest, ProgramNameIsTheTextAfterTheLastSeparator) {
  EXPECT_EQ(ProgramFileName("C:\\Program Files\\Tool\\viewer.exe"), "viewer.exe");
  EXPECT_EQ(ProgramFileName("C:viewer.exe"), "viewer.exe");
  EXPECT_EQ(ProgramFileName("/opt/proclens/proclens"), "proclens");
  EXPECT_EQ(ProgramFileName("viewer.exe"), "viewer.exe");
  EXPECT_EQ(ProgramFileName("C:\\Tools\\"), "");
  system.program_path = "";
  EXPECT_EQ(ComposeAgentString(system, system), "/1 (Windows  NT 5.1, 0409 English/United States)");
}

TEST_F(AgentStringTest, LanguageIdentifierIsFourUpperCaseHexDigits) {
  system.lang_id = 0x0407;
  system.locale_names = {{kLocaleEnglishLanguageName, "German"},
                         {kLocaleEnglishCountryName, "Germany"}};
  EXPECT_EQ(LocaleDescription(system, system), ", 0407 German/Germany");
  system.lang_id = 0x0C0A;
  system.locale_names = {{kLocaleEnglishLanguageName, "Spanish"},
                         {kLocaleEnglishCountryName, "Spain"}};
  EXPECT_EQ(LocaleDescription(system, system), ", 0C0A Spanish/Spain");
  system.lang_id = 0xFFFF;
  EXPECT_EQ(LocaleDescription(system, system), ", FFFF Spanish/Spain");
}

TEST_F(AgentStringTest, FailedLookUpsLeaveTheirNamesEmpty) {
  system.locale_names.clear();
  EXPECT_EQ(LocaleDescription(system, system), ", 0409 /");
  system.locale_names = {{kLocaleEnglishCountryName, "United States"}};
  EXPECT_EQ(LocaleDescription(system, system), ", 0409 /United States");
  system.locale_names = {{kLocaleEnglishLanguageName, "English"}};
  EXPECT_EQ(ComposeAgentString(system, system), "viewer.exe/1 (Windows  NT 5.1, 0409 English/)");
}

}  // namespace
}  // namespace proclens
