// The system facts the catalogue reads, as Wine's Windows reports them.

#include <gtest/gtest.h>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_system_info.h"

namespace proclens::win32 {
namespace {

TEST(SystemInfoTest, DirectoriesComeWholeAndWithoutSeparator) {
  Win32SystemInfo info;
  const auto system = info.SystemDirectory();
  const auto windows = info.WindowsDirectory();
  ASSERT_TRUE(system);
  ASSERT_TRUE(windows);
  EXPECT_EQ(_stricmp(system->c_str(), "C:\\windows\\system32"), 0) << *system;
  EXPECT_EQ(_stricmp(windows->c_str(), "C:\\windows"), 0) << *windows;
}

TEST(SystemInfoTest, WineIsOfTheNtFamily) {
  EXPECT_EQ(ReadPlatformId(), kPlatformWin32Nt);
  Win32SystemInfo info;
  EXPECT_EQ(info.Traits().platform_id, kPlatformWin32Nt);
  EXPECT_TRUE(info.Traits().admin_test);
  EXPECT_EQ(info.Traits().first_listed_pid, 9u);
  EXPECT_FALSE(Win32SystemInfo(0).Traits().admin_test);
}

TEST(SystemInfoTest, UpperCasesWithTheLocaleRules) {
  Win32SystemInfo info;
  EXPECT_EQ(info.UpperCase("c:\\windows\\svchost.exe|"), "C:\\WINDOWS\\SVCHOST.EXE|");
  EXPECT_EQ(info.UpperCase(""), "");
  if (GetACP() == 1252) {
    EXPECT_EQ(info.UpperCase("gr\xF6\xDF" "e"), "GR\xD6\xDF" "E");
  }
}

}  // namespace
}  // namespace proclens::win32
