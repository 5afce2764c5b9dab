// The Toolhelp snapshot, bound by name, against Wine's running processes.

#include <gtest/gtest.h>

#include <map>

#include "platform/win32/win32_snapshot_ops.h"
#include "win32/win32_test_support.h"

namespace proclens::win32 {
namespace {

std::map<std::uint32_t, std::string> TakeSnapshot(SnapshotOps& ops) {
  std::map<std::uint32_t, std::string> names;
  auto snapshot = ops.CreateSnapshot();
  EXPECT_NE(snapshot, nullptr);
  if (!snapshot) return names;
  SnapshotEntry entry;
  while (snapshot->Next(entry)) names[entry.pid] = entry.exe_file;
  return names;
}

bool HasName(const std::map<std::uint32_t, std::string>& names, const std::string& wanted) {
  for (const auto& [pid, name] : names) {
    if (_stricmp(name.c_str(), wanted.c_str()) == 0) return true;
  }
  return false;
}

TEST(SnapshotOpsTest, ListsThisProgramAndWineServices) {
  Win32SnapshotOps ops;
  const auto names = TakeSnapshot(ops);
  ASSERT_TRUE(names.count(GetCurrentProcessId()));
  EXPECT_EQ(names.at(GetCurrentProcessId()), "proclens_win32_tests.exe");
  EXPECT_TRUE(HasName(names, "services.exe"));
  EXPECT_TRUE(HasName(names, "winedevice.exe"));
}

TEST(SnapshotOpsTest, EachSnapshotSeesTheProcessesOfItsMoment) {
  testing::ScratchDirectory scratch;
  const std::wstring program = scratch.path() + L"\\snapchild.exe";
  ASSERT_TRUE(testing::CopyFileTo(testing::TestProgramPath(), program));
  Win32SnapshotOps ops;
  std::uint32_t pid = 0;
  {
    testing::ChildProcess child(program);
    ASSERT_TRUE(child.running());
    pid = child.pid();
    const auto names = TakeSnapshot(ops);
    ASSERT_TRUE(names.count(pid));
    EXPECT_EQ(names.at(pid), "snapchild.exe");
  }
  EXPECT_FALSE(TakeSnapshot(ops).count(pid));
}

TEST(SnapshotOpsTest, MissingServicesGiveNoSnapshot) {
  Win32SnapshotOps without_module("proclens-missing.dll");
  EXPECT_EQ(without_module.CreateSnapshot(), nullptr);
  // A module without the three names: bound by name, so nothing is found.
  Win32SnapshotOps without_names("user32.dll");
  EXPECT_EQ(without_names.CreateSnapshot(), nullptr);
}

TEST(SnapshotOpsTest, RecordSizeIsTheOneOfThisBuild) {
  // The services refuse a record whose dwSize does not match their layout;
  // a 64-bit build's record is 8 bytes longer than the 32-bit one.
  EXPECT_EQ(sizeof(PROCESSENTRY32), sizeof(void*) == 8 ? 304u : 296u);
}

}  // namespace
}  // namespace proclens::win32
