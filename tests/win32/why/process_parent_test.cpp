// A process's parent: the rules over a snapshot's entries, then a child and a
// grandchild of this test, whose parent has ended.

#include <gtest/gtest.h>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_process_parent.h"
#include "platform/win32/win32_text.h"
#include "win32/why/why_helper.h"

namespace proclens::win32 {
namespace {

// The helper in a mode, ended with the object.
struct HelperProcess {
  explicit HelperProcess(const wchar_t* mode) {
    std::wstring command = L"\"" + testing::WhyHelperPath() + L"\" " + mode;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
      return;
    }
    KernelHandle thread(started.hThread);
    process.reset(started.hProcess);
    pid = started.dwProcessId;
  }
  ~HelperProcess() { TerminateProcess(process.get(), 0); }
  KernelHandle process;
  DWORD pid = 0;
};

TEST(ProcessParentTest, AParentIdNamesTheParentOnlyWhileAnOlderProcessHoldsIt) {
  const std::optional<std::uint64_t> unknown;
  const std::vector<ProcessTreeEntry> entries = {
      {0, 0, "[System Process]", unknown},   {4, 0, "System", 10},
      {600, 4, "smss.exe", 20},              {700, 600, "csrss.exe", 30},
      {800, 650, "winlogon.exe", 40},        {900, 1000, "cmd.exe", 50},
      {1000, 7, "reused.exe", 60},           {1100, 1200, "child.exe", 70},
      {1200, 8, "unopened.exe", unknown},    {1300, 1300, "self.exe", 80},
      {1400, 700, "same-tick.exe", 30},
  };
  const struct { std::uint32_t child; std::optional<ParentProcess> parent; } rows[] = {
      {0, std::nullopt},                                   // the idle process records none
      {4, std::nullopt},                                   // nor does System
      {600, ParentProcess{4, false, "System"}},
      {800, ParentProcess{650, true, ""}},                 // no process of that id runs
      {900, ParentProcess{1000, true, ""}},                // its id names a younger process
      {1100, ParentProcess{1200, false, "unopened.exe"}},  // a time unknown: believed
      {1300, std::nullopt},                                // its own id
      {1400, ParentProcess{700, false, "csrss.exe"}},      // started within one tick
  };
  const auto parents = ParentsOf(entries);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.child);
    ASSERT_EQ(parents.count(row.child), row.parent ? 1u : 0u);
    if (!row.parent) continue;
    const ParentProcess& parent = parents.at(row.child);
    EXPECT_EQ(parent.pid, row.parent->pid);
    EXPECT_EQ(parent.ended, row.parent->ended);
    EXPECT_EQ(parent.exe_file, row.parent->exe_file);
  }
}

std::string OwnFileName() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring full = path;
  return NarrowFromWide(full.substr(full.find_last_of(L'\\') + 1));
}

TEST(ProcessParentTest, AChildsParentIsThisTestUntilTheParentEnds) {
  HelperProcess child(L"wait");
  ASSERT_TRUE(child.process);
  auto parents = ParentsOf(ReadProcessTree());
  ASSERT_TRUE(parents.count(child.pid));
  EXPECT_EQ(parents.at(child.pid).pid, GetCurrentProcessId());
  EXPECT_FALSE(parents.at(child.pid).ended);
  EXPECT_EQ(parents.at(child.pid).exe_file, OwnFileName());

  // The spawner ends at once and names its child, which keeps running, by its exit code.
  HelperProcess spawner(L"spawn");
  ASSERT_EQ(WaitForSingleObject(spawner.process.get(), 30000), WAIT_OBJECT_0);
  DWORD grandchild = 0;
  ASSERT_TRUE(GetExitCodeProcess(spawner.process.get(), &grandchild));
  ASSERT_NE(grandchild, 0u);
  KernelHandle grandchild_process(OpenProcess(PROCESS_TERMINATE, FALSE, grandchild));
  parents = ParentsOf(ReadProcessTree());
  TerminateProcess(grandchild_process.get(), 0);
  ASSERT_TRUE(parents.count(grandchild));
  EXPECT_EQ(parents.at(grandchild).pid, spawner.pid);
  EXPECT_TRUE(parents.at(grandchild).ended);
  EXPECT_EQ(parents.at(grandchild).exe_file, "");
}

}  // namespace
}  // namespace proclens::win32
