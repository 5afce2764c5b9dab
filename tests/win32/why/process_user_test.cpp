// The account a process runs as: this test's own, well-known and unnamed
// SIDs, and a process that cannot be opened.

#include <gtest/gtest.h>

#include "platform/win32/win32_process_user.h"
#include "platform/win32/win32_text.h"

#include <sddl.h>

namespace proclens::win32 {
namespace {

TEST(ProcessUserTest, ThisProcessRunsAsTheComputersUser) {
  wchar_t user[256] = {}, computer[256] = {};
  DWORD user_size = 256, computer_size = 256;
  ASSERT_TRUE(GetUserNameW(user, &user_size));
  ASSERT_TRUE(GetComputerNameW(computer, &computer_size));
  EXPECT_EQ(ProcessUserName(GetCurrentProcessId()),
            NarrowFromWide(std::wstring(computer) + L"\\" + user));
}

TEST(ProcessUserTest, AccountsAreNamedWithTheirDomainElseBySid) {
  const struct { const wchar_t* sid; const char* text; } rows[] = {
      {L"S-1-5-18", "NT AUTHORITY\\SYSTEM"},
      {L"S-1-5-19", "NT AUTHORITY\\LOCAL SERVICE"},
      {L"S-1-1-0", "Everyone"},
      {L"S-1-5-21-1-2-3-4242", "S-1-5-21-1-2-3-4242"},
  };
  for (const auto& row : rows) {
    PSID sid = nullptr;
    ASSERT_TRUE(ConvertStringSidToSidW(row.sid, &sid));
    EXPECT_EQ(AccountText(sid), row.text);
    LocalFree(sid);
  }
}

TEST(ProcessUserTest, AProcessThatCannotBeOpenedHasNoKnownUser) {
  EXPECT_EQ(ProcessUserName(0xFFFFFFF0u), std::nullopt);
}

}  // namespace
}  // namespace proclens::win32
