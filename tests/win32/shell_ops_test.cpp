// The Win32 shell calls as the main window's actions make them.

#include <gtest/gtest.h>

#include <optional>

#include "platform/win32/win32_shell_ops.h"

namespace proclens::win32 {
namespace {

TEST(Win32ShellOpsTest, MissingFileFailsWithTheShellsNumberAndNoOwnerIsAsked) {
  int owner_asked = 0;
  Win32ShellOps shell([&owner_asked]() -> HWND {
    ++owner_asked;
    return nullptr;
  });
  const std::uintptr_t result = shell.Execute(ShellOwner::None, "open", "C:\\no\\such\\file.exe",
                                              std::nullopt, std::nullopt, kShow);
  EXPECT_FALSE(ShellSucceeded(result));
  EXPECT_EQ(owner_asked, 0);
  shell.Execute(ShellOwner::MainWindow, "open", "C:\\no\\such\\file.exe", std::nullopt,
                std::string("C:\\"), kShow);
  EXPECT_EQ(owner_asked, 1);
  EXPECT_STREQ(shell.FolderSeparators(), "\\:");
}

}  // namespace
}  // namespace proclens::win32
