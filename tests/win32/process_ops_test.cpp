// The Win32 process operations against Wine's live system.

#include <gtest/gtest.h>

#include "platform/win32/win32_process_ops.h"
#include "win32/win32_test_support.h"

namespace proclens::win32 {
namespace {

using testing::ChildProcess;
using testing::Narrow;
using testing::ScratchDirectory;

// A child whose executable lies at a path of exactly the given length.
struct DeepChild {
  DeepChild(const ScratchDirectory& scratch, std::size_t length)
      : path(scratch.DeepFilePath(length, L"child.exe")),
        copied(testing::CopyFileTo(testing::TestProgramPath(), path)),
        child(path) {}
  std::wstring path;
  bool copied;
  ChildProcess child;
};

class ImageNameTest : public ::testing::Test {
 protected:
  std::optional<std::string> QueryFull(std::uint32_t pid) {
    EXPECT_TRUE(ops_.LookUpService("kernel32.dll", ImageNameService::QueryFullProcessImageName));
    return Query(pid, kProcessQueryLimitedInformation, [this](ProcessHandle h) {
      return ops_.QueryFullProcessImageName(h);
    });
  }
  std::optional<std::string> ModuleFileName(std::uint32_t pid) {
    EXPECT_TRUE(ops_.LookUpService("psapi.dll", ImageNameService::GetModuleFileNameEx));
    return Query(pid, kProcessQueryInformationAndVmRead,
                 [this](ProcessHandle h) { return ops_.GetModuleFileNameEx(h); });
  }

  template <typename QueryFn>
  std::optional<std::string> Query(std::uint32_t pid, std::uint32_t access, QueryFn query) {
    const ProcessHandle process = ops_.OpenProcess(access, pid);
    EXPECT_TRUE(IsValidHandle(process));
    if (!IsValidHandle(process)) return std::nullopt;
    auto result = query(process);
    last_error_ = ops_.GetLastError();
    ops_.CloseHandle(process);
    return result;
  }

  Win32ProcessOps ops_;
  std::uint32_t last_error_ = 0;
};

TEST_F(ImageNameTest, BothServicesNameTheRunningProgram) {
  const std::string own = Narrow(testing::TestProgramPath());
  EXPECT_EQ(QueryFull(GetCurrentProcessId()), own);
  EXPECT_EQ(ModuleFileName(GetCurrentProcessId()), own);
}

TEST_F(ImageNameTest, ChildProcessIsNamedByItsFile) {
  ScratchDirectory scratch;
  DeepChild deep(scratch, 120);
  ASSERT_TRUE(deep.copied);
  ASSERT_TRUE(deep.child.running());
  EXPECT_EQ(QueryFull(deep.child.pid()), Narrow(deep.path));
  EXPECT_EQ(ModuleFileName(deep.child.pid()), Narrow(deep.path));
}

// 259 characters and the terminating zero fill the buffer exactly.
TEST_F(ImageNameTest, PathsUpToTheBufferAreWhole) {
  ScratchDirectory scratch;
  DeepChild fits(scratch, 258);
  ASSERT_EQ(fits.path.size(), 258u);
  ASSERT_TRUE(fits.copied);
  ASSERT_TRUE(fits.child.running());
  EXPECT_EQ(QueryFull(fits.child.pid()), Narrow(fits.path));
  EXPECT_EQ(ModuleFileName(fits.child.pid()), Narrow(fits.path));

  DeepChild full(scratch, 259);
  ASSERT_TRUE(full.child.running());
  EXPECT_EQ(QueryFull(full.child.pid()), Narrow(full.path));
  // The module service cannot tell a full buffer from a cut path.
  EXPECT_EQ(ModuleFileName(full.child.pid()), std::nullopt);
  EXPECT_EQ(last_error_, static_cast<std::uint32_t>(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(ImageNameTest, LongerPathsFailInsteadOfBeingCut) {
  ScratchDirectory scratch;
  for (std::size_t length : {260u, 300u, 400u}) {
    SCOPED_TRACE(length);
    DeepChild deep(scratch, length);
    ASSERT_EQ(deep.path.size(), length);
    ASSERT_TRUE(deep.copied);
    ASSERT_TRUE(deep.child.running());
    EXPECT_EQ(QueryFull(deep.child.pid()), std::nullopt);
    EXPECT_EQ(last_error_, static_cast<std::uint32_t>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(ModuleFileName(deep.child.pid()), std::nullopt);
    EXPECT_EQ(last_error_, static_cast<std::uint32_t>(ERROR_INSUFFICIENT_BUFFER));
  }
}

TEST(ServiceLookUpTest, FindsTheServicesByNameAndReportsMissingOnes) {
  Win32ProcessOps ops;
  EXPECT_TRUE(ops.LookUpService("kernel32.dll", ImageNameService::QueryFullProcessImageName));
  EXPECT_TRUE(ops.LookUpService("psapi.dll", ImageNameService::GetModuleFileNameEx));

  EXPECT_FALSE(ops.LookUpService("proclens-missing.dll", ImageNameService::GetModuleFileNameEx));
  EXPECT_EQ(ops.GetLastError(), static_cast<std::uint32_t>(ERROR_MOD_NOT_FOUND));
  // A failed look-up leaves no stale entry point behind.
  KernelHandle own(reinterpret_cast<HANDLE>(
      ops.OpenProcess(kProcessQueryInformationAndVmRead, GetCurrentProcessId())));
  ASSERT_TRUE(own);
  EXPECT_EQ(ops.GetModuleFileNameEx(reinterpret_cast<ProcessHandle>(own.get())), std::nullopt);

  EXPECT_FALSE(ops.LookUpService("user32.dll", ImageNameService::QueryFullProcessImageName));
  EXPECT_EQ(ops.GetLastError(), static_cast<std::uint32_t>(ERROR_PROC_NOT_FOUND));
}

TEST(ProcessOpenTest, RefusesAnIdentifierNoProcessHas) {
  Win32ProcessOps ops;
  EXPECT_FALSE(IsValidHandle(ops.OpenProcess(kProcessQueryLimitedInformation, 0xFFFFFFF0u)));
  EXPECT_NE(ops.GetLastError(), 0u);
}

TEST(SystemMessageTest, GivesTheSystemTextOrNothing) {
  Win32ProcessOps ops;
  char expected[256] = {};
  FormatMessageA(0x3200, nullptr, ERROR_ACCESS_DENIED, 0, expected, sizeof(expected), nullptr);
  const std::string denied = ops.FormatMessage(ERROR_ACCESS_DENIED);
  EXPECT_FALSE(denied.empty());
  EXPECT_EQ(denied, expected);
  EXPECT_EQ(ops.FormatMessage(0x2FFFFFFFu), "");
}

TEST(ServiceManagerTest, WineUserMayOpenItForEverything) {
  Win32ProcessOps ops;
  EXPECT_TRUE(ops.OpenServiceManager(kServiceManagerReadWriteExecute));
}

TEST(EnvironmentExpansionTest, ExpandsWhatFitsTheBuffer) {
  Win32ProcessOps ops;
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_EQ(ops.ExpandEnvironmentStrings("%SystemRoot%\\a.exe"), std::string(windows) + "\\a.exe");

  // 255 characters and the terminating zero fill the buffer exactly.
  ASSERT_TRUE(SetEnvironmentVariableA("PROCLENS_TEST_VALUE", std::string(250, 'v').c_str()));
  EXPECT_EQ(ops.ExpandEnvironmentStrings("%PROCLENS_TEST_VALUE%\\a.bc"), std::string(250, 'v') + "\\a.bc");
  EXPECT_EQ(ops.ExpandEnvironmentStrings("%PROCLENS_TEST_VALUE%\\a.bcd"), std::nullopt);
  ASSERT_TRUE(SetEnvironmentVariableA("PROCLENS_TEST_VALUE", std::string(600, 'v').c_str()));
  EXPECT_EQ(ops.ExpandEnvironmentStrings("%PROCLENS_TEST_VALUE%"), std::nullopt);
  SetEnvironmentVariableA("PROCLENS_TEST_VALUE", nullptr);
}

}  // namespace
}  // namespace proclens::win32
