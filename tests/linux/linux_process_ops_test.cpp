#include "platform/linux/linux_process_ops.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

#include "catalogue/image_path.h"
#include "linux/support/live_process.h"
#include "platform/linux/linux_system_info.h"

namespace proclens::linux_port {
namespace {

using linux_test::Child;
using linux_test::CopySleep;
using linux_test::SleepArgs;
using linux_test::TempDir;

std::string PathOf(std::uint32_t pid) {
  LinuxProcessOps ops;
  LinuxSystemInfo info;
  return GetProcessImagePath(pid, ops, info);
}

TEST(LinuxProcessOpsTest, ImagePathIsTheProgramTheChildRuns) {
  TempDir dir;
  const auto program = CopySleep(dir.path(), "proclens-path-test", 50000);
  Child child(program.string(), SleepArgs("sleeper"));
  EXPECT_EQ(PathOf(static_cast<std::uint32_t>(child.pid())), program.string());
}

TEST(LinuxProcessOpsTest, DeletedProgramKeepsTheKernelsDeletedMark) {
  TempDir dir;
  const auto program = CopySleep(dir.path(), "proclens-gone", 50000);
  Child child(program.string(), SleepArgs("gone"));
  std::filesystem::remove(program);
  EXPECT_EQ(PathOf(static_cast<std::uint32_t>(child.pid())), program.string() + " (deleted)");
}

TEST(LinuxProcessOpsTest, PathWithPercentSignIsNotExpanded) {
  TempDir dir;
  const auto program = CopySleep(dir.path(), "%HOME%sleeper", 50000);
  Child child(program.string(), SleepArgs("percent"));
  EXPECT_EQ(PathOf(static_cast<std::uint32_t>(child.pid())), program.string());
}

TEST(LinuxProcessOpsTest, VanishedProcessGivesTheSystemsErrorText) {
  TempDir dir;
  const auto program = CopySleep(dir.path(), "proclens-vanish", 50000);
  Child child(program.string(), SleepArgs("vanish"));
  const auto pid = static_cast<std::uint32_t>(child.pid());
  child.KillAndReap();
  LinuxProcessOps ops;
  const ProcessHandle handle = ops.OpenProcess(kProcessQueryLimitedInformation, pid);
  EXPECT_FALSE(ops.QueryFullProcessImageName(handle));
  EXPECT_EQ(ops.GetLastError(), static_cast<std::uint32_t>(ENOENT));
  if (::geteuid() == 0) {
    EXPECT_EQ(PathOf(pid), " No such file or directory");
  }
}

TEST(LinuxProcessOpsTest, MissingSecondServiceLeavesTheLastErrorOfTheRealFailure) {
  LinuxProcessOps ops;
  EXPECT_TRUE(ops.LookUpService("kernel32.dll", ImageNameService::QueryFullProcessImageName));
  EXPECT_FALSE(ops.QueryFullProcessImageName(ops.OpenProcess(kProcessQueryLimitedInformation, 0xFFFFFFF0u)));
  const std::uint32_t failure = ops.GetLastError();
  EXPECT_EQ(failure, static_cast<std::uint32_t>(ENOENT));
  EXPECT_FALSE(ops.LookUpService("kernel32.dll", ImageNameService::GetModuleFileNameEx));
  EXPECT_FALSE(ops.LookUpService("psapi.dll", ImageNameService::GetModuleFileNameEx));
  EXPECT_EQ(ops.GetLastError(), failure);
}

TEST(LinuxProcessOpsTest, HandleAnswersForItsProcessUntilClosed) {
  LinuxProcessOps ops;
  const ProcessHandle handle =
      ops.OpenProcess(kProcessQueryLimitedInformation, static_cast<std::uint32_t>(::getpid()));
  ASSERT_TRUE(IsValidHandle(handle));
  char self[4096] = {};
  ASSERT_GT(::readlink("/proc/self/exe", self, sizeof self - 1), 0);
  EXPECT_EQ(ops.QueryFullProcessImageName(handle), std::string(self));
  ops.CloseHandle(handle);
  // A closed handle no longer answers, and says why.
  EXPECT_FALSE(ops.QueryFullProcessImageName(handle));
  EXPECT_EQ(ops.GetLastError(), static_cast<std::uint32_t>(EBADF));
}

TEST(LinuxProcessOpsTest, MessagesAreTheSystemsErrorTexts) {
  LinuxProcessOps ops;
  EXPECT_EQ(ops.FormatMessage(EACCES), "Permission denied");
  EXPECT_EQ(ops.FormatMessage(ENOENT), "No such file or directory");
  EXPECT_FALSE(ops.ExpandEnvironmentStrings("%PATH%"));
}

TEST(LinuxProcessOpsTest, ServiceManagerOpensForRootOnlyAndOtherwiseLeavesAccessDenied) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to compare root and nobody";
  LinuxProcessOps ops;
  EXPECT_TRUE(ops.OpenServiceManager(kServiceManagerReadWriteExecute));
  const std::string as_nobody = linux_test::RunAsNobody("C", [] {
    LinuxProcessOps nobody_ops;
    const bool opened = nobody_ops.OpenServiceManager(kServiceManagerReadWriteExecute);
    return std::to_string(opened) + " " + std::to_string(nobody_ops.GetLastError());
  });
  EXPECT_EQ(as_nobody, "0 " + std::to_string(EACCES));
}

}  // namespace
}  // namespace proclens::linux_port
