#include "catalogue/image_path.h"

#include <algorithm>
#include <utility>

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
    p.messages = {{fakes::kErrorAccessDenied, "Access is denied.\r\n"},
                  {fakes::kErrorInvalidParameter, "The parameter is incorrect.\r\n"},
                  {fakes::kErrorProcNotFound, "The specified procedure could not be found."},
                  {fakes::kErrorPartialCopy, "Only part of a request was completed.\r\n"}};
    p.OfferUsualServices();  // unscripted opens then fail with kErrorInvalidParameter
  }
  std::string Path(std::uint32_t pid = kPid) { return GetProcessImagePath(pid, p, p); }

  FakePlatform p;
};

TEST_F(ImagePathTest, ServicesAreTriedInOrderAndEveryOpenIsClosedOnce) {
  p.WithdrawService("kernel32.dll", kFirst);
  p.OfferService("psapi.dll", kFirst);  // the first service is never taken from psapi
  p.ScriptOpen(kPid, kProcessQueryInformationAndVmRead);
  p.ScriptQuery(kSecond, kPid, "C:\\second.exe");
  EXPECT_EQ(Path(), "C:\\second.exe");
  EXPECT_THAT(p.calls, ElementsAre("lookup kernel32.dll QueryFullProcessImageName",
                                   "lookup kernel32.dll GetModuleFileNameEx",
                                   "lookup psapi.dll GetModuleFileNameEx", "open 410 1234",
                                   "query GetModuleFileNameEx 1234", "close 1234"));

  p.calls.clear();
  p.OfferService("kernel32.dll", kFirst);
  p.ScriptOpen(kPid, kProcessQueryLimitedInformation);  // opens, but its query fails
  EXPECT_EQ(Path(), "C:\\second.exe");
  EXPECT_THAT(p.calls, ElementsAre("lookup kernel32.dll QueryFullProcessImageName",
                                   "open 1000 1234", "query QueryFullProcessImageName 1234",
                                   "close 1234", "lookup kernel32.dll GetModuleFileNameEx",
                                   "lookup psapi.dll GetModuleFileNameEx", "open 410 1234",
                                   "query GetModuleFileNameEx 1234", "close 1234"));

  p.calls.clear();
  p.ScriptQuery(kFirst, kPid, "C:\\first.exe");
  EXPECT_EQ(Path(), "C:\\first.exe");
  EXPECT_EQ(p.calls.size(), 4u) << "the second service is looked up only without a path";
  for (ProcessHandle h : p.handed_out) EXPECT_EQ(p.close_count[h], 1) << "handle " << h;

  for (ProcessHandle failed : {ProcessHandle{0}, ProcessHandle{-1}}) {  // never closed
    p.ScriptOpen(kPid, kProcessQueryLimitedInformation, OpenScript{false, 5, failed});
    p.ScriptOpen(kPid, kProcessQueryInformationAndVmRead, OpenScript{false, 5, failed});
    EXPECT_EQ(Path(), " Access is denied");
    EXPECT_EQ(p.close_count.count(failed), 0u);
  }
}

TEST_F(ImagePathTest, ObjectManagerPrefixGoesWhicheverServiceReportedIt) {
  p.ResolveWithFirstService(kPid, "\\??\\C:\\first.exe");
  EXPECT_EQ(Path(), "C:\\first.exe");
  p.ScriptQuery(kFirst, kPid, std::nullopt);
  p.ScriptOpen(kPid, kProcessQueryInformationAndVmRead);
  p.ScriptQuery(kSecond, kPid, "\\??\\C:\\second.exe");
  EXPECT_EQ(Path(), "C:\\second.exe");
  p.ScriptQuery(kSecond, kPid, "\\\\?\\C:\\kept.exe");  // only those exact four characters
  EXPECT_EQ(Path(), "\\\\?\\C:\\kept.exe");
  p.ScriptQuery(kSecond, kPid, "\\SystemRoot\\System32\\smss.exe");  // reported paths are rewritten
  EXPECT_EQ(Path(), "C:\\WINDOWS\\System32\\smss.exe");
}

TEST_F(ImagePathTest, SystemIdleOnlyForProcessZeroWithoutAPath) {
  EXPECT_EQ(Path(0), " System idle");
  EXPECT_EQ(Path(4), " The parameter is incorrect");
  p.ResolveWithFirstService(0, "C:\\zero.exe");
  EXPECT_EQ(Path(0), "C:\\zero.exe");
}

TEST_F(ImagePathTest, MessageLosesTrailingFullStopsLineBreaksAndBlanks) {
  EXPECT_EQ(TrimMessageEnd("Wait... \t.\r\n  "), "Wait");
  EXPECT_EQ(TrimMessageEnd("v1.2 failed"), "v1.2 failed");
  EXPECT_EQ(TrimMessageEnd(". \r\n"), "");
  p.messages[fakes::kErrorInvalidParameter] = "";
  EXPECT_EQ(Path(), " ");
  p.service_manager_opens = false;
  EXPECT_EQ(Path(), std::string(6, ' ') + "Run program as Administrator!");
}

struct HintCase {
  std::uint32_t platform;
  bool admin_test_passes;
  std::uint32_t admin_test_error;
  std::uint16_t lang_id;
  const char* hint;  // what follows " Access is denied"
};

TEST_F(ImagePathTest, HintOnlyWhenTheAdminTestFailsWithAccessDeniedOnNt) {
  // The open itself was refused: that value must not pass for the admin test's.
  p.ScriptOpen(kPid, kProcessQueryInformationAndVmRead, OpenScript{false, 5});
  const HintCase cases[] = {
      {kPlatformWin32Nt, false, 5, 0x0409, "     Run program as Administrator!"},
      {kPlatformWin32Nt, false, 5, 0x0407, "     Starte das Program als Administrator!"},
      {kPlatformWin32Nt, false, 5, 0x0807, "     Starte das Program als Administrator!"},
      {kPlatformWin32Nt, false, 5, 0x0047, "     Run program as Administrator!"},
      {kPlatformWin32Nt, false, 1722, 0x0409, ""},
      {kPlatformWin32Nt, true, 5, 0x0409, ""},
      {kPlatformWin32Windows, false, 5, 0x0409, ""},
      {0, false, 5, 0x0407, ""},
  };
  for (const HintCase& c : cases) {
    p.traits = WindowsTraits(c.platform);
    p.service_manager_opens = c.admin_test_passes;
    p.service_manager_error = c.admin_test_error;
    p.lang_id = c.lang_id;
    p.calls.clear();
    EXPECT_EQ(Path(), std::string(" Access is denied") + c.hint)
        << "platform " << c.platform << " lang " << c.lang_id;
    EXPECT_EQ(std::count(p.calls.begin(), p.calls.end(), "scm e0000000"),
              c.platform == kPlatformWin32Nt ? 1 : 0);
  }
}

TEST_F(ImagePathTest, LinuxTraitsNameRootAndTheirOwnRefusalCode) {
  p.traits = fakes::LinuxShapedTraits();
  p.service_manager_opens = false;
  p.service_manager_error = 13;
  EXPECT_EQ(Path(), " The parameter is incorrect     Run program as root!");
  p.service_manager_error = fakes::kErrorAccessDenied;  // EIO there
  EXPECT_EQ(Path(), " The parameter is incorrect");
}

TEST_F(ImagePathTest, ErrorTextDescribesTheLastFailedCall) {
  // No library offers either service: the failed psapi look-up speaks.
  p.WithdrawService("kernel32.dll", kFirst);
  p.WithdrawService("psapi.dll", kSecond);
  p.SetLookUpError("psapi.dll", 126);
  p.messages[126] = "The specified module could not be found.";
  EXPECT_EQ(Path(), " The specified module could not be found");

  p.OfferUsualServices();
  p.ScriptOpen(kPid, kProcessQueryLimitedInformation, OpenScript{false, 5});
  p.ScriptOpen(kPid, kProcessQueryInformationAndVmRead, OpenScript{false, 87});
  EXPECT_EQ(Path(), " The parameter is incorrect");

  // A failed query stays the cause after its handle was closed.
  p.ScriptOpen(kPid, kProcessQueryInformationAndVmRead);
  p.ScriptQuery(kSecond, kPid, std::nullopt, fakes::kErrorPartialCopy);
  EXPECT_EQ(Path(), " Only part of a request was completed");

  // A bare object-manager prefix is no path; the last failure is then the
  // kernel32 look-up of the second service.
  p.ScriptQuery(kSecond, kPid, "\\??\\");
  EXPECT_EQ(Path(), " The specified procedure could not be found");
}

TEST(NormalizeImagePath, RewritesOnlyPrefixesAfterExpandingPercentTexts) {
  FakePlatform p;
  p.expansions["%SystemRoot%\\a.exe"] = "\\SystemRoot\\a.exe";
  p.expansions["50%\\a.exe"] = "system32\\50\\a.exe";
  const std::pair<const char*, const char*> cases[] = {
      {"system32\\drivers\\a.sys", "C:\\WINDOWS\\system32\\drivers\\a.sys"},
      {"SyStEm32\\a.exe", "C:\\WINDOWS\\system32\\a.exe"},
      {"\\SystemRoot\\System32\\smss.exe", "C:\\WINDOWS\\System32\\smss.exe"},
      {"\\SYSTEMROOT\\a.exe", "C:\\WINDOWS\\a.exe"},
      {"\\systemroot\\\\SystemRoot\\a.exe", "C:\\WINDOWS\\a.exe"},
      {"\\??\\C:\\a.exe", "C:\\a.exe"},
      {"%SystemRoot%\\a.exe", "C:\\WINDOWS\\a.exe"},
      {"50%\\a.exe", "C:\\WINDOWS\\system32\\50\\a.exe"},
      {"%NOPE%\\a.exe", "%NOPE%\\a.exe"},
      {"\\SystemRoot\\%NOPE%.exe", "C:\\WINDOWS\\%NOPE%.exe"},  // later steps still run
      {"SYSTEM32", "SYSTEM32"},
      {"\\SystemRoot", "\\SystemRoot"},
      {"\\SystemRootX\\a.exe", "\\SystemRootX\\a.exe"},
      {"\\SYSTEM32\\a.exe", "\\SYSTEM32\\a.exe"},
      {"C:\\WINDOWS\\SYSTEM32\\a.exe", "C:\\WINDOWS\\SYSTEM32\\a.exe"},
      {"C:\\\\SystemRoot\\a.exe", "C:\\\\SystemRoot\\a.exe"},
      {"x\\??\\a.exe", "x\\??\\a.exe"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(NormalizeImagePath(in, p, p), out) << in;
  EXPECT_THAT(p.expand_calls, ElementsAre("%SystemRoot%\\a.exe", "50%\\a.exe", "%NOPE%\\a.exe",
                                          "\\SystemRoot\\%NOPE%.exe"));

  p.system_directory.reset();
  p.windows_directory.reset();
  EXPECT_EQ(NormalizeImagePath("system32\\a.exe", p, p), "system32\\a.exe");
  EXPECT_EQ(NormalizeImagePath("\\SystemRoot\\a.exe", p, p), "\\SystemRoot\\a.exe");
}

}  // namespace
}  // namespace proclens
