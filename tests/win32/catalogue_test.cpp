// The catalogue over the real Win32 operations: what Wine's processes and a
// child of a known file look like in the finished list.

#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <vector>

#include "catalogue/image_path.h"
#include "catalogue/process_list_fill.h"
#include "platform/win32/win32_file_ops.h"
#include "platform/win32/win32_image_list.h"
#include "platform/win32/win32_process_facts_ops.h"
#include "platform/win32/win32_process_ops.h"
#include "platform/win32/win32_snapshot_ops.h"
#include "platform/win32/win32_system_info.h"
#include "win32/win32_test_support.h"

namespace proclens::win32 {
namespace {

class RecordedList : public ProcessItemList {
 public:
  void InsertItem(std::size_t position, ProcessItem item) override {
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(position), std::move(item));
  }
  void AppendItem(ProcessItem item) override { items.push_back(std::move(item)); }
  std::vector<ProcessItem> items;
};

std::uint32_t PidOf(const std::string& exe_file) {
  Win32SnapshotOps ops;
  auto snapshot = ops.CreateSnapshot();
  SnapshotEntry entry;
  while (snapshot && snapshot->Next(entry)) {
    if (_stricmp(entry.exe_file.c_str(), exe_file.c_str()) == 0) return entry.pid;
  }
  return 0;
}

class CatalogueTest : public ::testing::Test {
 protected:
  Win32SnapshotOps snapshots_;
  Win32ProcessOps processes_;
  Win32FileOps files_;
  Win32SystemInfo system_;
};

TEST_F(CatalogueTest, WineServicesResolveToTheSystemDirectory) {
  for (const char* name : {"services.exe", "winedevice.exe", "explorer.exe"}) {
    SCOPED_TRACE(name);
    const std::uint32_t pid = PidOf(name);
    if (pid == 0 && std::string(name) == "explorer.exe") continue;  // only with a desktop
    ASSERT_NE(pid, 0u);
    const std::string path = GetProcessImagePath(pid, processes_, system_);
    EXPECT_EQ(_stricmp(path.c_str(), ("C:\\windows\\system32\\" + std::string(name)).c_str()), 0)
        << path;
  }
}

TEST_F(CatalogueTest, UnopenableProcessGivesTheTrimmedSystemMessage) {
  const std::string text = GetProcessImagePath(0xFFFFFFF0u, processes_, system_);
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text[0], ' ');
  EXPECT_NE(text[1], ' ');
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
  EXPECT_NE(text.back(), '.');
  // Wine's user is an administrator: no hint follows the message.
  EXPECT_EQ(text.find("     "), std::string::npos) << text;

  // The message is the one of the failed open, not of a later call.
  SetLastError(0);
  EXPECT_FALSE(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, 0xFFFFFFF0u));
  EXPECT_EQ(text, " " + TrimMessageEnd(processes_.FormatMessage(GetLastError())));
}

TEST_F(CatalogueTest, ProcessZeroIsTheIdleProcess) {
  EXPECT_EQ(GetProcessImagePath(0, processes_, system_), " System idle");
}

TEST_F(CatalogueTest, FillListsResolvedProcessesFirstWithSizesAndIcons) {
  testing::ScratchDirectory scratch;
  const std::wstring program = scratch.path() + L"\\fillchild.exe";
  ASSERT_TRUE(testing::CopyFileTo(testing::TestProgramPath(), program));
  testing::ChildProcess child(program);
  ASSERT_TRUE(child.running());

  RecordedList list;
  Win32ImageList large(32);
  Win32ImageList small(16);
  ProcessListFill fill({snapshots_, processes_, files_, system_}, list, large, small);
  fill.FillProcessList();

  std::map<std::uint32_t, const ProcessItem*> by_pid;
  for (const ProcessItem& item : list.items) by_pid[item.pid] = &item;
  ASSERT_TRUE(by_pid.count(child.pid()));
  const ProcessItem& listed = *by_pid[child.pid()];
  EXPECT_EQ(listed.caption, "fillchild.exe");
  ASSERT_EQ(listed.sub_items.size(), 2u);
  EXPECT_EQ(listed.sub_items[0], testing::Narrow(program));
  const auto size = files_.FindFirstFile(listed.sub_items[0])->size;
  EXPECT_EQ(listed.sub_items[1].substr(listed.sub_items[1].size() - 5), " byte");
  EXPECT_GT(size, 1000000u);  // a static test program: the size text has separators
  EXPECT_NE(listed.sub_items[1].find('\xB4'), std::string::npos) << listed.sub_items[1];
  EXPECT_EQ(listed.image_index, kNoImage);  // the test program carries no icon

  bool unresolved_seen = false;
  for (const ProcessItem& item : list.items) {
    EXPECT_GE(item.pid, 9u);
    const bool resolved = IsResolvedPath(item.sub_items.at(0));
    EXPECT_FALSE(resolved && unresolved_seen) << item.caption << " after an unresolved item";
    unresolved_seen = unresolved_seen || !resolved;
  }
  // Every icon went into both lists, so the two stay the same length.
  EXPECT_EQ(large.Count(), small.Count());
}

// What the window shows as the tooltip of the service host's row.
TEST_F(CatalogueTest, ServiceHostsRowSaysWhichServiceItRuns) {
  RecordedList list;
  Win32ImageList large(32);
  Win32ImageList small(16);
  Win32ProcessFactsOps facts;
  ProcessListFill fill({snapshots_, processes_, files_, system_, &facts}, list, large, small);
  fill.FillProcessList();

  const ProcessItem* event_log = nullptr;
  for (const ProcessItem& item : list.items) {
    if (_stricmp(item.caption.c_str(), "svchost.exe") != 0) continue;
    EXPECT_FALSE(item.description.empty()) << "svchost.exe " << item.pid;
    if (item.description.find("Event Log") != std::string::npos) event_log = &item;
  }
  ASSERT_NE(event_log, nullptr) << "no service host names the Event Log";
  EXPECT_NE(event_log->description.find("Eventlog"), std::string::npos) << event_log->description;
  std::cout << "svchost.exe " << event_log->pid << ":\n" << event_log->description << "\n";
}

}  // namespace
}  // namespace proclens::win32
