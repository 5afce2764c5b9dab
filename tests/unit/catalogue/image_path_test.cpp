#include "catalogue/image_path.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace proclens {
namespace {

using fakes::FakePlatform;
using fakes::OpenScript;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr auto kFirst = ImageNameService::QueryFullProcessImageName;
constexpr auto kSecond = ImageNameService::GetModuleFileNameEx;
constexpr std::uint32_t kPid = 1234;

class ImagePathTest : public ::testing::Test {
 protected:
  ImagePathTest() {
    p.messages[fakes::kErrorAccessDenied] = "Access is denied.\r\n";
    p.messages[fakes::kErrorInvalidParameter] = "The parameter is incorrect.\r\n";
    p.messages[fakes::kErrorPartialCopy] = "Only part of a request was completed.\r\n";
    p.messages[fakes::kErrorProcNotFound] = "The specified procedure could not be found.\r\n";
    p.OfferUsualServices();  // unscripted opens then fail with kErrorInvalidParameter
  }
  std::string Path(std::uint32_t pid = kPid) { return GetProcessImagePath(pid, p, p); }
  void ExpectEveryOpenClosedOnce() {
    for (ProcessHandle h : p.handed_out) EXPECT_EQ(p.close_count[h], 1) << "handle " << h;
    EXPECT_EQ(p.close_count.size(), p.handed_out.size());
  }

  FakePlatform p;
};

TEST_F(ImagePathTest, FirstServiceComesOnlyFromKernel32AndSecondFallsBackToPsapi) {
  p.WithdrawService("kernel32.dll", kFirst);
  p.OfferService("psapi.dll", kFirst);  // must never be asked for
  p.ScriptOpen(kPid, kProcessQueryInformationAndVmRead);
  p.ScriptQuery(kSecond, kPid, "C:\\a.exe");
  EXPECT_EQ(Path(), "C:\\a.exe");
  EXPECT_THAT(p.calls, ElementsAre("lookup kernel32.dll QueryFullProcessImageName",
                                   "lookup kernel32.dll GetModuleFileNameEx",
                                   "lookup psapi.dll GetModuleFileNameEx", "open 410 1234",
                                   "query GetModuleFileNameEx 1234", "close 1234"));
}

TEST_F(ImagePathTest, SecondServiceRunsOnlyWhenTheFirstGaveNothing) {
  p.ResolveWithFirstService(kPid, "C:\\first.exe");
  p.OfferService("kernel32.dll", kSecond);
  p.ScriptOpen(kPid, kProcessQueryInformationAndVmRead);
  p.ScriptQuery(kSecond, kPid, "C:\\second.exe");
  EXPECT_EQ(Path(), "C:\\first.exe");
  EXPECT_THAT(p.calls, ElementsAre("lookup kernel32.dll QueryFullProcessImageName",
                                   "open 1000 1234", "query QueryFullProcessImageName 1234",
                                   "close 1234"));

  p.calls.clear();
  p.ScriptQuery(kFirst, kPid, std::nullopt);
  EXPECT_EQ(Path(), "C:\\second.exe");
  EXPECT_THAT(p.calls, ElementsAre("lookup kernel32.dll QueryFullProcessImageName",
                                   "open 1000 1234", "query QueryFullProcessImageName 1234",
                                   "close 1234", "lookup kernel32.dll GetModuleFileNameEx",
                                   "open 410 1234", "query GetModuleFileNameEx 1234",
                                   "close 1234"));
  ExpectEveryOpenClosedOnce();
}

TEST_F(ImagePathTest, EverySuccessfulOpenIsClosedOnceAndNoFailedOne) {
  p.OfferService("kernel32.dll", kFirst);
  p.OfferService("kernel32.dll", kSecond);
  for (ProcessHandle failed : {ProcessHandle{0}, ProcessHandle{-1}}) {
    p.ScriptOpen(kPid, kProcessQueryLimitedInformation);  // opens, query fails
    p.ScriptOpen(kPid, kProcessQueryInformationAndVmRead, OpenScript{false, 5, failed});
    EXPECT_EQ(Path()[0], ' ');
    ExpectEveryOpenClosedOnce();
    EXPECT_EQ(p.handed_out.size(), failed == 0 ? 1u : 2u);
    EXPECT_EQ(p.close_count.count(failed), 0u);
  }
}

TEST_F(ImagePathTest, ObjectManagerPrefixGoesWhicheverServiceReportedIt) {
  p.ResolveWithFirstService(kPid, "\\??\\C:\\first.exe");
  EXPECT_EQ(Path(), "C:\\first.exe");

  p.ScriptQuery(kFirst, kPid, std::nullopt);
  p.OfferService("psapi.dll", kSecond);
  p.ScriptOpen(kPid, kProcessQueryInformationAndVmRead);
  p.ScriptQuery(kSecond, kPid, "\\??\\C:\\second.exe");
  EXPECT_EQ(Path(), "C:\\second.exe");
  p.ScriptQuery(kSecond, kPid, "\\\\?\\C:\\kept.exe");  // only the exact four characters
  EXPECT_EQ(Path(), "\\\\?\\C:\\kept.exe");
}

TEST_F(ImagePathTest, SystemIdleOnlyForProcessZeroWithoutAPath) {
  EXPECT_EQ(Path(0), " System idle");
  EXPECT_EQ(Path(4), " The parameter is incorrect");
  p.ResolveWithFirstService(0, "C:\\zero.exe");
  EXPECT_EQ(Path(0), "C:\\zero.exe");
}

TEST_F(ImagePathTest, MessageEndLosesFullStopsLineBreaksAndBlanks) {
  EXPECT_EQ(TrimMessageEnd("Access is denied.\r\n"), "Access is denied");
  EXPECT_EQ(TrimMessageEnd("Wait... \t.\n  "), "Wait");
  EXPECT_EQ(TrimMessageEnd("v1.2 failed"), "v1.2 failed");
  EXPECT_EQ(TrimMessageEnd(". \r\n"), "");
  EXPECT_EQ(TrimMessageEnd("Gr\xC3\xB6\xC3\x9F" "e."), "Gr\xC3\xB6\xC3\x9F" "e");

  p.messages[fakes::kErrorInvalidParameter] = "";
  EXPECT_EQ(Path(), " ");
  p.service_manager_opens = false;
  EXPECT_EQ(Path(), "      Run program as Administrator!");
}

TEST_F(ImagePathTest, HintOnlyWhenTheAdminTestFailsWithAccessDenied) {
  p.service_manager_opens = false;
  EXPECT_EQ(Path(), " The parameter is incorrect     Run program as Administrator!");
  EXPECT_THAT(p.calls, ::testing::Contains("scm e0000000"));

  p.service_manager_error = 1722;  // the manager is not reachable: rights are not the cause
  EXPECT_EQ(Path(), " The parameter is incorrect");

  // An administrator whose open was refused: the refusal must not pass for a failed test.
  p.service_manager_opens = true;
  p.OfferService("psapi.dll", kSecond);
  p.ScriptOpen(kPid, kProcessQueryInformationAndVmRead, OpenScript{false, 5});
  EXPECT_EQ(Path(), " Access is denied");
}

TEST_F(ImagePathTest, NoHintAndNoAdminTestOutsideNt) {
  p.service_manager_opens = false;
  for (std::uint32_t platform : {kPlatformWin32Windows, 0u}) {
    p.traits = WindowsTraits(platform);
    p.calls.clear();
    EXPECT_EQ(Path(), " The parameter is incorrect");
    EXPECT_THAT(p.calls, ::testing::Not(::testing::Contains("scm e0000000")));
    EXPECT_TRUE(HasAdminRights(p, p));
  }
}

TEST_F(ImagePathTest, HintFollowsTheUserLanguageAtEachCall) {
  p.service_manager_opens = false;
  p.lang_id = 0x0407;
  EXPECT_EQ(Path(), " The parameter is incorrect     Starte das Program als Administrator!");
  p.lang_id = 0x0807;  // Swiss German: the primary language decides
  EXPECT_EQ(AdminHintText(p), "Starte das Program als Administrator!");
  p.lang_id = 0x0409;
  EXPECT_EQ(AdminHintText(p), "Run program as Administrator!");
  p.lang_id = 0x0047;  // the whole ten primary bits count, not only the low ones
  EXPECT_EQ(AdminHintText(p), "Run program as Administrator!");
}

TEST_F(ImagePathTest, LinuxTraitsTestRightsAndNameRoot) {
  p.traits.access_denied_error = 13;
  p.traits.administrator_word = "root";
  p.messages[13] = "Permission denied";
  p.service_manager_opens = false;
  p.service_manager_error = 13;
  EXPECT_EQ(Path(), " The parameter is incorrect     Run program as root!");
  p.service_manager_error = fakes::kErrorAccessDenied;  // 5 is EIO there
  EXPECT_EQ(Path(), " The parameter is incorrect");
}

TEST_F(ImagePathTest, ErrorTextDescribesTheLastFailedCall) {
  // No library offers either service: the failed psapi look-up speaks.
  p.WithdrawService("kernel32.dll", kFirst);
  p.WithdrawService("psapi.dll", kSecond);
  p.SetLookUpError("psapi.dll", 126);
  p.messages[126] = "The specified module could not be found.";
  EXPECT_EQ(Path(), " The specified module could not be found");

  // The second open fails after a refused first one.
  p.OfferService("kernel32.dll", kFirst);
  p.OfferService("psapi.dll", kSecond);
  p.ScriptOpen(kPid, kProcessQueryLimitedInformation, OpenScript{false, 5});
  p.ScriptOpen(kPid, kProcessQueryInformationAndVmRead, OpenScript{false, 87});
  EXPECT_EQ(Path(), " The parameter is incorrect");

  // A failed query is still the cause after its handle was closed.
  p.ScriptOpen(kPid, kProcessQueryInformationAndVmRead);
  p.ScriptQuery(kSecond, kPid, std::nullopt, fakes::kErrorPartialCopy);
  EXPECT_EQ(Path(), " Only part of a request was completed");

  // A path that is only the object-manager prefix counts as no path; the last
  // failure is then the kernel32 look-up of the second service.
  p.ScriptQuery(kSecond, kPid, "\\??\\");
  EXPECT_EQ(Path(), " The specified procedure could not be found");
}

class NormalizeTest : public ::testing::Test {
 protected:
  std::string Normalize(const std::string& path) { return NormalizeImagePath(path, p, p); }
  FakePlatform p;
};

TEST_F(NormalizeTest, PrefixesInAnyCaseBecomeTheDirectories) {
  EXPECT_EQ(Normalize("system32\\drivers\\a.sys"), "C:\\WINDOWS\\system32\\drivers\\a.sys");
  EXPECT_EQ(Normalize("SyStEm32\\a.exe"), "C:\\WINDOWS\\system32\\a.exe");
  EXPECT_EQ(Normalize("\\SystemRoot\\System32\\smss.exe"), "C:\\WINDOWS\\System32\\smss.exe");
  EXPECT_EQ(Normalize("\\SYSTEMROOT\\a.exe"), "C:\\WINDOWS\\a.exe");
  EXPECT_EQ(Normalize("\\systemroot\\\\SystemRoot\\a.exe"), "C:\\WINDOWS\\a.exe");
  EXPECT_EQ(Normalize("\\??\\C:\\a.exe"), "C:\\a.exe");
  EXPECT_THAT(p.expand_calls, IsEmpty());
}

TEST_F(NormalizeTest, WordsWithoutBackslashOrLaterInThePathStay) {
  for (const char* kept :
       {"SYSTEM32", "system32drivers\\a.sys", "\\SystemRoot", "\\SystemRootX\\a.exe",
        "C:\\WINDOWS\\SYSTEM32\\a.exe", "C:\\\\SystemRoot\\a.exe", "x\\??\\a.exe",
        "\\SYSTEM32\\a.exe"}) {
    EXPECT_EQ(Normalize(kept), kept);
  }
  EXPECT_THAT(p.expand_calls, IsEmpty());
}

TEST_F(NormalizeTest, ExpansionRunsFirstAndOnlyWithAPercentSign) {
  p.expansions["%SystemRoot%\\a.exe"] = "\\SystemRoot\\a.exe";
  EXPECT_EQ(Normalize("%SystemRoot%\\a.exe"), "C:\\WINDOWS\\a.exe");
  p.expansions["50%.exe"] = "system32\\50.exe";
  EXPECT_EQ(Normalize("50%.exe"), "C:\\WINDOWS\\system32\\50.exe");
  EXPECT_THAT(p.expand_calls, ElementsAre("%SystemRoot%\\a.exe", "50%.exe"));

  // A failed expansion leaves the text, and the later steps still run.
  EXPECT_EQ(Normalize("\\SystemRoot\\%NOPE%.exe"), "C:\\WINDOWS\\%NOPE%.exe");
  EXPECT_EQ(Normalize("%NOPE%\\a.exe"), "%NOPE%\\a.exe");
}

TEST_F(NormalizeTest, UnreadableDirectoriesLeaveThePrefix) {
  p.system_directory.reset();
  p.windows_directory.reset();
  EXPECT_EQ(Normalize("system32\\a.exe"), "system32\\a.exe");
  EXPECT_EQ(Normalize("\\SystemRoot\\\\SystemRoot\\a.exe"), "\\SystemRoot\\\\SystemRoot\\a.exe");
}

TEST_F(NormalizeTest, ResolvedPathsAreNormalised) {
  p.ResolveWithFirstService(kPid, "\\SystemRoot\\System32\\smss.exe");
  EXPECT_EQ(GetProcessImagePath(kPid, p, p), "C:\\WINDOWS\\System32\\smss.exe");
}

}  // namespace
}  // namespace proclens
