// How the shell's calls become freedesktop requests on Linux, and the refusals
// that make the actions fall through to their next attempt.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/linux/linux_shell_ops.h"

namespace proclens::linux_port {
namespace {

TEST(PlanShellCallTest, TheThreeAttemptsAndTheSite) {
  LinuxShellPlan first = PlanShellCall("open", "explorer.exe", "/select, bash", "/usr/bin/");
  EXPECT_EQ(first.request, LinuxShellRequest::ShowItem);
  EXPECT_EQ(first.target, "/usr/bin/bash");

  LinuxShellPlan second = PlanShellCall("explore", "/usr/bin/", std::nullopt, "/usr/bin/");
  EXPECT_EQ(second.request, LinuxShellRequest::OpenFolder);
  EXPECT_EQ(second.target, "/usr/bin/");

  EXPECT_EQ(PlanShellCall("open", "explorer.exe", "/usr/bin/", std::nullopt).request,
            LinuxShellRequest::Nothing);

  LinuxShellPlan site = PlanShellCall("open", "http://site.test/", std::nullopt, std::nullopt);
  EXPECT_EQ(site.request, LinuxShellRequest::OpenAddress);
  EXPECT_EQ(site.target, "http://site.test/");
}

TEST(PlanShellCallTest, FileNameKeepsItsBlanksAndAnEmptyFolderLeavesItRelative) {
  EXPECT_EQ(PlanShellCall("open", "explorer.exe", "/select,  Access denied", "").target,
            " Access denied");
  EXPECT_EQ(PlanShellCall("open", "explorer.exe", "/select, a b", "/x/").target, "/x/a b");
}

TEST(LinuxShellOpsTest, UnusableTargetsFailWithoutBeeping) {
  int beeps = 0;
  LinuxShellOps shell([&beeps] { ++beeps; });
  // A relative path (an error text's) has no file URI: nothing is asked.
  EXPECT_EQ(shell.Execute(ShellOwner::None, "open", "explorer.exe", "/select,  denied", "", 1),
            kShellFileNotFound);
  EXPECT_EQ(shell.Execute(ShellOwner::MainWindow, "explore", "", std::nullopt, "", 5),
            kShellFileNotFound);
  EXPECT_EQ(shell.Execute(ShellOwner::MainWindow, "open", "explorer.exe", "/usr/", std::nullopt, 5),
            kShellFileNotFound);
  EXPECT_EQ(beeps, 0);
  shell.Beep(0);
  EXPECT_EQ(beeps, 1);
  EXPECT_STREQ(shell.FolderSeparators(), "/");
}

TEST(LinuxShellOpsTest, FileUrisOnlyForAbsolutePaths) {
  EXPECT_EQ(FileUri("/usr/bin/a b"), "file:///usr/bin/a%20b");
  EXPECT_EQ(FileUri("bin/a"), "");
  EXPECT_FALSE(LaunchDefaultForUri(""));
  EXPECT_FALSE(ShowItemInFileManager("relative"));
}

}  // namespace
}  // namespace proclens::linux_port
