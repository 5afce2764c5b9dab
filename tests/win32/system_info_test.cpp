// The system facts the catalogue reads, as Wine's Windows reports them.

#include <gtest/gtest.h>

#include <cstring>

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

// A directory service as Windows answers it: the length copied when the text
// and its zero fit, else the size the buffer would need.
std::string simulated_directory;
unsigned SimulatedDirectory(char* buffer, unsigned capacity) {
  const auto length = static_cast<unsigned>(simulated_directory.size());
  if (length + 1 > capacity) return length + 1;
  memcpy(buffer, simulated_directory.c_str(), length + 1);
  return length;
}

TEST(SystemInfoTest, DirectoriesThatDoNotFitAreNotUsed) {
  const unsigned capacity = Win32SystemInfo::kDirectoryCapacity;
  simulated_directory = "C:\\" + std::string(capacity - 4, 'd');  // 255 characters and the zero
  EXPECT_EQ(ReadDirectory(SimulatedDirectory, capacity), simulated_directory);
  simulated_directory += "d";
  EXPECT_EQ(ReadDirectory(SimulatedDirectory, capacity), std::nullopt);
  simulated_directory = "C:\\" + std::string(400, 'd');
  EXPECT_EQ(ReadDirectory(SimulatedDirectory, capacity), std::nullopt);
  simulated_directory.clear();
  EXPECT_EQ(ReadDirectory(SimulatedDirectory, capacity), std::nullopt);
}

}  // namespace
}  // namespace proclens::win32
